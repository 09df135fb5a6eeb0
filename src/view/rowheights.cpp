#include "view/rowheights.h"

#include "view/textmetrics.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>

namespace {

// Room between a cell's border and its text, on each side.
constexpr int CellTextMargin = 2;
// How many measurements are remembered.
constexpr int MaxCachedHeights = 100'000;
// Below this distance from the box's edge a line is measured exactly, so rounding in the
// estimate can never decide the result.
constexpr qreal OneLineSafetyMargin = 1.0;
// Tall enough for any wrapped text.
constexpr int MeasureBoxHeight = 1 << 24;

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
  for (char16_t c = 0x21; c <= 0x7E; ++c)
    if (metrics.horizontalAdvance(QChar(c)) != advance) return 0;
  return advance;
}

}  // namespace

int MeasureWrappedTextHeight(const QFontMetrics& metrics, const QString& text, int boxWidth) {
  return metrics.boundingRect(QRect(0, 0, boxWidth, MeasureBoxHeight), Qt::TextWordWrap, text).height();
}

TRowHeightMeasurer::TRowHeightMeasurer(const QFont& font)
    : FMetrics(font), FBaseRowHeight(WgTextHeight(FMetrics) + 4), FAsciiAdvance(CommonAsciiAdvance(font)),
      FCache(MaxCachedHeights) {
  FOneLineHeight = MeasureWrapped(QStringLiteral("Wg"), MeasureBoxHeight);
}

// A line that fits on one line needs no wrapped measurement. For a fixed-pitch font and plain
// ASCII its width is the character count times the advance.
bool TRowHeightMeasurer::FitsOnOneLine(const QString& text, int boxWidth) const {
  if (FAsciiAdvance <= 0 || !IsPlainAsciiLine(text)) return false;
  return text.size() * FAsciiAdvance + OneLineSafetyMargin <= boxWidth;
}

int TRowHeightMeasurer::MeasureWrapped(const QString& text, int boxWidth) const {
  return MeasureWrappedTextHeight(FMetrics, text, boxWidth);
}

int TRowHeightMeasurer::CellHeight(const QString& text, int boxWidth) {
  if (FitsOnOneLine(text, boxWidth)) return FOneLineHeight;
  const TCacheKey key{text, boxWidth};
  if (const int* cached = FCache.object(key)) return *cached;
  const int height = MeasureWrapped(text, boxWidth);
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
