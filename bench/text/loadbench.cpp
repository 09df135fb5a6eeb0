// Figures for loading and writing large sides. Prints timings; never passes or fails on them.
#include "text/textfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray SampleFile(int lines, bool withAccents) {
  QByteArray bytes;
  for (int i = 0; i < lines; ++i) {
    bytes += "    result = compute_value(item_" + QByteArray::number(i) + ", options);";
    if (withAccents && i % 10 == 0) bytes += " // caf\xC3\xA9";
    bytes += "\r\n";
  }
  return bytes;
}

double BestMilliseconds(int runs, const auto& work) {
  double best = 1e300;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    work();
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  return best;
}

void Measure(const QTemporaryDir& dir, const char* label, int lineCount, bool withAccents) {
  const QString path = dir.filePath(QStringLiteral("sample.txt"));
  const QByteArray bytes = SampleFile(lineCount, withAccents);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return;
  file.close();
  QStringList lines;
  TDetectedEncoding detected;
  const double load = BestMilliseconds(5, [&] { detected = LoadTextFile(path, lines); });
  const QString out = dir.filePath(QStringLiteral("written.txt"));
  const double write = BestMilliseconds(5, [&] { WriteTextFile(out, lines, *detected.Encoding); });
  std::printf("%-28s %8d lines %7.2f MB  %-12s load %7.1f ms  write %7.1f ms\n", label,
              int(lines.size()), bytes.size() / 1e6, qPrintable(detected.Name), load, write);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  Measure(dir, "ASCII", 150000, false);
  Measure(dir, "UTF-8 without BOM", 150000, true);
  Measure(dir, "ASCII, one million lines", 1000000, false);
  Measure(dir, "UTF-8, one million lines", 1000000, true);
  return 0;
}
