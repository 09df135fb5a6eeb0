#pragma once
// Colours as the settings store them: 0x00BBGGRR, or 0xFF0000nn for the system colour nn
// (5 window, 8 window text, 15 button face).

#include <QColor>
#include <QPalette>

using TColorValue = quint32;

constexpr TColorValue clWindow = 0xFF000005;
constexpr TColorValue clWindowText = 0xFF000008;
constexpr TColorValue clBtnFace = 0xFF00000F;

QColor ColorFromValue(TColorValue value, const QPalette& palette);
TColorValue ValueFromColor(const QColor& color);

// The default colours of the rows and of the differing text inside a changed line.
constexpr TColorValue clDefaultAddedLines = 0x00FFF0E0;
constexpr TColorValue clDefaultRemovedLines = 0x00E0F0FF;
constexpr TColorValue clDefaultChangedLines = 0x00E0E0FF;
constexpr TColorValue clDefaultDifferentText = 0x0000FFFF;
