#include "i18n/textlines.h"

QStringList SplitTextLines(QStringView text) {
  QStringList lines;
  const char16_t* const begin = text.utf16();
  const char16_t* const end = begin + text.size();
  const char16_t* lineStart = begin;
  for (const char16_t* p = begin; p != end; ++p) {
    const char16_t c = *p;
    if (c != u'\n' && c != u'\r') continue;
    lines.append(QString(reinterpret_cast<const QChar*>(lineStart), p - lineStart));
    if (c == u'\r' && p + 1 != end && p[1] == u'\n') ++p;  // CR LF is one break
    lineStart = p + 1;
  }
  if (lineStart != end)
    lines.append(QString(reinterpret_cast<const QChar*>(lineStart), end - lineStart));
  return lines;
}
