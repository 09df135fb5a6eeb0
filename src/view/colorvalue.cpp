#include "view/colorvalue.h"

QColor ColorFromValue(TColorValue value, const QPalette& palette) {
  if ((value >> 24) != 0xFF) return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
  switch (value & 0xFF) {
    case 0x05: return palette.color(QPalette::Base);
    case 0x08: return palette.color(QPalette::Text);
    case 0x0D: return palette.color(QPalette::Highlight);
    case 0x0E: return palette.color(QPalette::HighlightedText);
    case 0x0F: return palette.color(QPalette::Button);
    case 0x12: return palette.color(QPalette::ButtonText);
    default: return palette.color(QPalette::Base);
  }
}

TColorValue ValueFromColor(const QColor& color) {
  return TColorValue(color.red()) | (TColorValue(color.green()) << 8) | (TColorValue(color.blue()) << 16);
}
