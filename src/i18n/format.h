#pragma once
// Fills a translated format string: %d, %s, %.1f (with the user's decimal separator), %2.2x
// (two upper-case hexadecimal digits) and %%. Format strings are translated first, filled afterwards.

#include <QString>
#include <QVariant>

QString FormatText(const QString& format, const QVariantList& args);
