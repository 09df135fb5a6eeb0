#pragma once
// Text measurements that the grid's painting and row sizing share.

#include <QFontMetrics>
#include <QString>

// The height of one text line in a font: the height of "Wg".
inline int WgTextHeight(const QFontMetrics& metrics) {
  return metrics.size(Qt::TextSingleLine, QStringLiteral("Wg")).height();
}
