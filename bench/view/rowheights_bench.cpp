// Row heights of a large comparison: 150,000 rows with two text cells each, i.e. 300,000
// measurements of source lines at a column width of about 500 pixels, in a fixed-pitch font.
// Also times the changed-word ranges of a very long changed line.

#include "view/highlightranges.h"
#include "view/rowheights.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QStringList>

namespace {

constexpr int RowCount = 150'000;
constexpr int LeftColumnWidth = 500;
constexpr int RightColumnWidth = 520;

// Source-like lines: indentation by blanks or tabs, empty lines, and a spread of lengths of
// which about a fifth are wider than the column.
QString SourceLine(QRandomGenerator& rng, int index) {
  static const QStringList words{"int", "return", "value", "const", "auto", "std::vector<int>", "if", "(", ")", "{",
                                 "}", "=", "+", "->", "compute", "&&", "nullptr", "// note:", "result", ";", ","};
  if (rng.bounded(100) < 13) return QString();
  QString line(rng.bounded(6) * 2, rng.bounded(7) == 0 ? u'\t' : u' ');
  const int target = rng.bounded(100) < 22 ? 56 + rng.bounded(70) : 4 + rng.bounded(52);
  while (line.size() < target) line += words[rng.bounded(int(words.size()))] + QString::number(index % 7) + u' ';
  return line.left(target);
}

struct TSides {
  QStringList Left;
  QStringList Right;
};

// The right side repeats the left except for every twentieth line.
const TSides& Sides() {
  static const TSides sides = [] {
    QRandomGenerator rng(7);
    TSides s;
    for (int row = 0; row < RowCount; ++row) {
      s.Left << SourceLine(rng, row);
      s.Right << (row % 20 == 0 ? SourceLine(rng, row + 1) : s.Left.last());
    }
    return s;
  }();
  return sides;
}

QFont GridFont(const char* family) {
  QFont font(QString::fromLatin1(family));
  font.setPointSize(11);
  return font;
}

void RowHeightsWithMeasurer(benchmark::State& state, const char* family) {
  const TSides& sides = Sides();
  for (auto _ : state) {
    TRowHeightMeasurer measurer(GridFont(family));  // a fresh cache for every full recalculation
    qint64 total = 0;
    for (int row = 0; row < RowCount; ++row)
      total += measurer.RowHeight(sides.Left[row], sides.Right[row], LeftColumnWidth, RightColumnWidth);
    benchmark::DoNotOptimize(total);
  }
  state.counters["measurements"] = 2.0 * RowCount;
}

// The plain measurement of every cell, for comparison.
void RowHeightsPlain(benchmark::State& state, const char* family) {
  const TSides& sides = Sides();
  const QFontMetrics metrics(GridFont(family));
  for (auto _ : state) {
    qint64 total = 0;
    for (int row = 0; row < RowCount; ++row)
      for (const auto& [text, width] : {std::pair(sides.Left[row], LeftColumnWidth), std::pair(sides.Right[row], RightColumnWidth)})
        if (!text.isEmpty()) total += MeasureWrappedTextHeight(metrics, text, width - 4);
    benchmark::DoNotOptimize(total);
  }
  state.counters["measurements"] = 2.0 * RowCount;
}

void VeryLongChangedLine(benchmark::State& state) {
  QString left;
  while (left.size() < 200'000) left += QStringLiteral("value, ");
  QString right = left;
  right[1000] = u'X';
  for (auto _ : state) benchmark::DoNotOptimize(ComputeHighlightRanges(left, right, false));
}

void ChangedSourceLine(benchmark::State& state) {
  const QString left = QStringLiteral("    result = compute(alpha, beta, gamma) + other_function(delta, epsilon);");
  const QString right = QStringLiteral("    result = compute(alpha, theta, gamma) - other_function(delta, epsilon, zeta);");
  for (auto _ : state) benchmark::DoNotOptimize(ComputeHighlightRanges(left, right, false));
}

}  // namespace

BENCHMARK_CAPTURE(RowHeightsWithMeasurer, LiberationMono, "Liberation Mono")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RowHeightsWithMeasurer, CourierNew, "Courier New")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RowHeightsPlain, LiberationMono, "Liberation Mono")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(VeryLongChangedLine)->Unit(benchmark::kMillisecond);
BENCHMARK(ChangedSourceLine)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
