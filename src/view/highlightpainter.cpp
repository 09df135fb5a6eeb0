#include "view/highlightpainter.h"

#include "view/textmetrics.h"

#include <QPaintDevice>
#include <QPaintEngine>

namespace {

// The smallest fallback line height, for a font that reports no height.
constexpr int FallbackLineHeight = 14;

// Tabs are not expanded: like the toolkit's unexpanded text, a tab takes the room of a blank.
QString RunForDisplay(QStringView run) {
  QString shown = run.toString();
  shown.replace(u'\t', u' ');
  return shown;
}

qreal CharacterAdvance(const QFontMetricsF& metrics, QStringView character) {
  if (character.size() == 1) return metrics.horizontalAdvance(character[0] == u'\t' ? QChar(u' ') : character[0]);
  return metrics.horizontalAdvance(character.toString());
}

// The part of the painter's logical space that can show anything: the device, the system clip
// and the painter's own clip.
QRectF VisibleArea(QPainter& painter) {
  QRect device(0, 0, painter.device()->width(), painter.device()->height());
  if (const QPaintEngine* engine = painter.paintEngine(); engine && !engine->systemClip().isEmpty())
    device &= engine->systemClip().boundingRect();
  QRectF area = painter.deviceTransform().inverted().mapRect(QRectF(device));
  if (painter.hasClipping()) area &= painter.clipBoundingRect();
  return area;
}

// Draws the segment [start, end) of the text as normal and highlighted runs.
void DrawLineRuns(THighlightPainterState& state, qint32 start, qint32 end, const QColor& normalText,
                  const QColor& normalBackground, const QColor& highlightText, const QColor& highlightBackground) {
  const QStringView text(state.Text);
  qint32 cur = start;
  for (const THighlightRange& range : state.Ranges) {
    const std::optional<TClippedRange> clipped = ClipRangeToSegment(range, start, end);
    if (!clipped) continue;
    if (clipped->Start > cur) DrawTextRun(state, text.sliced(cur, clipped->Start - cur), normalText, normalBackground);
    DrawTextRun(state, text.sliced(clipped->Start, clipped->End - clipped->Start), highlightText, highlightBackground);
    cur = clipped->End;
    if (cur >= end) break;
  }
  if (cur < end) DrawTextRun(state, text.sliced(cur, end - cur), normalText, normalBackground);
}

}  // namespace

int FitCharacterCount(const QFontMetricsF& metrics, QStringView text, int width) {
  qreal used = 0;
  qsizetype count = 0;
  while (count < text.size()) {
    const bool pair = count + 1 < text.size() && text[count].isHighSurrogate() && text[count + 1].isLowSurrogate();
    const qsizetype size = pair ? 2 : 1;
    used += CharacterAdvance(metrics, text.sliced(count, size));
    if (used > width) break;
    count += size;
  }
  return int(count);
}

qreal TextRunWidth(const THighlightPainterState& state, QStringView run) {
  return state.Metrics.horizontalAdvance(RunForDisplay(run));
}

void DrawTextRun(THighlightPainterState& state, QStringView run, const QColor& textColor, const QColor& background) {
  if (run.isEmpty()) return;
  const QString shown = RunForDisplay(run);
  const qreal width = state.Metrics.horizontalAdvance(shown);
  state.Painter.fillRect(QRectF(state.X, state.Y, width, state.LineHeight), background);
  state.Painter.setPen(textColor);
  state.Painter.drawText(QPointF(state.X, state.Y + state.Metrics.ascent()), shown);
  state.X += width;
}

void PaintHighlightedCell(QPainter& painter, const QRect& cell, const QString& text, const THighlightRanges& ranges,
                          const QColor& normalText, const QColor& normalBackground, const QColor& highlightText,
                          const QColor& highlightBackground) {
  painter.fillRect(cell, normalBackground);
  const QRect textRect = cell.adjusted(2, 2, -2, -2);
  if (text.isEmpty() || textRect.width() <= 2 || textRect.height() <= 2) return;

  painter.save();
  THighlightPainterState state{painter, QFontMetricsF(painter.font(), painter.device()), text, ranges, textRect,
                               textRect.width()};
  const int wgHeight = WgTextHeight(QFontMetrics(painter.font(), painter.device()));
  state.LineHeight = wgHeight > 0 ? wgHeight : FallbackLineHeight;
  state.Y = textRect.top();
  const QRectF visible = VisibleArea(painter);
  const int bottom = textRect.top() + textRect.height();
  const TFitCounter counter = [&state](QStringView rest, int width) {
    return FitCharacterCount(state.Metrics, rest, width);
  };

  // Lines above the visible area are fitted but not drawn; below it nothing more can show.
  qint32 p = 0;
  while (p < text.size() && state.Y < bottom && state.Y < visible.bottom()) {
    const std::optional<int> count = FitLineLength(text, p, state.Width, counter);
    if (!count || *count <= 0) break;
    const qint32 e = p + *count;
    if (state.Y + state.LineHeight > visible.top()) {
      state.X = textRect.left();
      DrawLineRuns(state, p, e, normalText, normalBackground, highlightText, highlightBackground);
    }
    state.Y += state.LineHeight;
    p = e;
  }
  painter.restore();
}
