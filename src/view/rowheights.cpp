#include "view/rowheights.h"

#include "view/textmetrics.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>

namespace {

// Room between a cell's border and its text, on each side.
constexpr int CellTextMargin = 2;
// How many measurements are remembered.
constexpr int MaxCachedHeights = 100'000;
// Tall enough for any wrapped text.
constexpr int MeasureBoxHeight = 1 << 24;
// How far the estimated width of a run may be off the toolkit's own sum of advances.
constexpr qreal AdvanceTolerance = 0.5;

// Printable ASCII and the tab, which unexpanded takes the room of a blank.
bool IsPlainAsciiLine(const QString& text) {
  return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
    return (c.unicode() >= 0x20 && c.unicode() <= 0x7E) || c == u'\t';
  });
}

// The common advance of all printable ASCII characters, or 0 when the font is not fixed-pitch
// or any of them differs.
qreal CommonAsciiAdvance(const QFont& font) {
  if (!QFontInfo(font).fixedPitch()) return 0;
  const QFontMetricsF metrics(font);
  const qreal advance = metrics.horizontalAdvance(QChar(u' '));
  QString all;
  for (char16_t c = 0x21; c <= 0x7E; ++c) {
    if (metrics.horizontalAdvance(QChar(c)) != advance) return 0;
    all += QChar(c);
  }
  // Kerning or a ligature that changes widths would show here.
  if (std::abs(metrics.horizontalAdvance(all + all) - 2 * all.size() * advance) > AdvanceTolerance) return 0;
  return advance;
}

// The toolkit may count a glyph's overhang past its advance when it decides whether a word
// still fits; near that margin the estimate gives way to the exact measurement.
qreal EdgeSlack(const QFont& font) {
  const QFontMetricsF metrics(font);
  qreal overhang = std::max<qreal>(0, -metrics.minRightBearing());
  for (char16_t c = 0x21; c <= 0x7E; ++c) overhang = std::max(overhang, -metrics.rightBearing(QChar(c)));
  return overhang + 1;
}

}  // namespace

int MeasureWrappedTextHeight(const QFontMetrics& metrics, const QString& text, int boxWidth) {
  return metrics.boundingRect(QRect(0, 0, boxWidth, MeasureBoxHeight), Qt::TextWordWrap, text).height();
}

TRowHeightMeasurer::TRowHeightMeasurer(const QFont& font)
    : FMetrics(font), FBaseRowHeight(WgTextHeight(FMetrics) + 4), FAsciiAdvance(CommonAsciiAdvance(font)),
      FEdgeSlack(EdgeSlack(font)), FCache(MaxCachedHeights) {}

// A line that fits on one line needs no wrapped measurement. For a fixed-pitch font and plain
// ASCII its width is the character count times the advance.
bool TRowHeightMeasurer::FitsOnOneLine(const QString& text, int boxWidth) const {
  if (FAsciiAdvance <= 0 || text.isEmpty() || !IsPlainAsciiLine(text)) return false;
  return text.size() * FAsciiAdvance + FEdgeSlack <= boxWidth;
}

// The toolkit's word wrap, retraced for plain ASCII in a fixed-pitch font: words end at blanks
// and at the toolkit's own break opportunities; a word that does not fit after something else
// starts the next line; blanks never push a word down but hang at the end of the line, and a run
// of blanks wider than the box ends the line by itself. nullopt when a decision lies too close
// to the box's edge to be sure of, so the caller measures exactly.
std::optional<int> TRowHeightMeasurer::CountPlainAsciiLines(const QString& text, int boxWidth) const {
  QString shown = text;
  shown.replace(u'\t', u' ');
  QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, shown);
  const qsizetype n = shown.size();
  int lines = 1;
  qsizetype lineChars = 0, blanks = 0, pos = 0;
  while (pos < n) {
    if (shown[pos] == u' ') {
      for (; pos < n && shown[pos] == u' '; ++pos) ++blanks;
      const qreal blanksWidth = blanks * FAsciiAdvance;
      if (std::abs(blanksWidth - boxWidth) <= AdvanceTolerance) return std::nullopt;
      if (blanksWidth > boxWidth) {
        if (pos < n) ++lines;
        lineChars = blanks = 0;
      }
      continue;
    }
    qsizetype end = pos + 1;
    for (; end < n && shown[end] != u' '; ++end) {
      breaks.setPosition(end);
      if (breaks.boundaryReasons() & QTextBoundaryFinder::BreakOpportunity) break;
    }
    const qsizetype word = end - pos;
    const qreal width = (lineChars + blanks + word) * FAsciiAdvance;
    if (lineChars > 0 && width > boxWidth + AdvanceTolerance) {
      ++lines;
      lineChars = word;
    } else if (lineChars == 0 || width + FEdgeSlack <= boxWidth) {
      lineChars += blanks + word;
    } else {
      return std::nullopt;
    }
    blanks = 0;
    pos = end;
  }
  return lines;
}

// The height of so many lines of plain ASCII, measured once by the toolkit: one short word per line.
int TRowHeightMeasurer::HeightOfLines(int lineCount) {
  if (const auto found = FHeightOfLines.constFind(lineCount); found != FHeightOfLines.cend()) return found.value();
  QString words = QStringLiteral("x ").repeated(lineCount);
  words.chop(1);
  const int height = MeasureWrapped(words, 1);
  FHeightOfLines.insert(lineCount, height);
  return height;
}

int TRowHeightMeasurer::MeasureWrapped(const QString& text, int boxWidth) const {
  return MeasureWrappedTextHeight(FMetrics, text, boxWidth);
}

int TRowHeightMeasurer::CellHeight(const QString& text, int boxWidth) {
  if (FitsOnOneLine(text, boxWidth)) return HeightOfLines(1);
  const TCacheKey key{text, boxWidth};
  if (const int* cached = FCache.object(key)) return *cached;
  std::optional<int> lines;
  if (FAsciiAdvance > 0 && !text.isEmpty() && IsPlainAsciiLine(text)) lines = CountPlainAsciiLines(text, boxWidth);
  const int height = lines ? HeightOfLines(*lines) : MeasureWrapped(text, boxWidth);
  FCache.insert(key, new int(height));
  return height;
}

int TRowHeightMeasurer::CellRowHeight(const QString& text, int columnWidth) {
  if (text.isEmpty()) return 0;
  return CellHeight(text, columnWidth - 2 * CellTextMargin) + 2 * CellTextMargin;
}

int TRowHeightMeasurer::RowHeight(const QString& leftText, const QString& rightText, int leftColumnWidth,
                                  int rightColumnWidth) {
  return std::max({FBaseRowHeight, CellRowHeight(leftText, leftColumnWidth), CellRowHeight(rightText, rightColumnWidth)});
}
