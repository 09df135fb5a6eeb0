#include "i18n/textlines.h"

QStringList SplitTextLines(QStringView text) {
  QStringList lines;
  lines.reserve(CountLineBreaks(text.utf16(), text.utf16() + text.size()));
  ForEachLine(text.utf16(), text.utf16() + text.size(), [&lines](const char16_t* begin, const char16_t* end) {
    lines.append(QString(reinterpret_cast<const QChar*>(begin), end - begin));
  });
  return lines;
}
