#pragma once
// Paints a changed cell: the text is wrapped by its own fitting rule and every line is drawn as
// runs of normal and highlighted text. Runs are drawn as plain single lines: no tab expansion,
// no mnemonic ampersands.

#include "view/highlightranges.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QRect>
#include <QString>

// What one cell's painting keeps from run to run.
struct THighlightPainterState {
  QPainter& Painter;
  QFontMetricsF Metrics;
  QString Text;
  THighlightRanges Ranges;
  QRect TextRect;
  int Width = 0;
  int LineHeight = 0;
  qreal X = 0;
  int Y = 0;
};

void PaintHighlightedCell(QPainter& painter, const QRect& cell, const QString& text, const THighlightRanges& ranges,
                          const QColor& normalText, const QColor& normalBackground, const QColor& highlightText,
                          const QColor& highlightBackground);

// The number of code units of `text` whose accumulated advances fit into `width` pixels; a
// surrogate pair is counted whole or not at all.
int FitCharacterCount(const QFontMetricsF& metrics, QStringView text, int width);

// Draws a run at the pen position on its background and moves the pen past it.
void DrawTextRun(THighlightPainterState& state, QStringView run, const QColor& textColor, const QColor& background);

// The width of a run drawn as one line.
qreal TextRunWidth(const THighlightPainterState& state, QStringView run);
