#pragma once
// Text to lines: a line ends at CR LF, a lone LF or a lone CR; a final line break adds no empty
// line. Shared by the translation table reader and the text file loader (which links this library).

#include <QStringList>
#include <QStringView>

#include <cstring>

namespace textlines {
// The first code unit c at or after p (end when there is none), by the library's vectorised searches.
inline const char* Find(const char* p, const char* end, char c) {
  const void* found = std::memchr(p, c, size_t(end - p));
  return found ? static_cast<const char*>(found) : end;
}
inline const char16_t* Find(const char16_t* p, const char16_t* end, char16_t c) {
  const qsizetype found = QStringView(p, end - p).indexOf(QChar(c));
  return found < 0 ? end : p + found;
}
}  // namespace textlines

// Calls lineFound(begin, end) for every line of the characters (UTF-16 code units or bytes).
template <class Char, class LineFound>
void ForEachLine(const Char* begin, const Char* end, LineFound lineFound) {
  if (textlines::Find(begin, end, Char('\r')) == end) {
    // Only LF breaks the lines: jump from one to the next.
    for (const Char* p = begin; p != end;) {
      const Char* lineEnd = textlines::Find(p, end, Char('\n'));
      lineFound(p, lineEnd);
      p = lineEnd == end ? end : lineEnd + 1;
    }
    return;
  }
  const Char* lineStart = begin;
  for (const Char* p = begin; p != end; ++p) {
    const Char c = *p;
    if (c != Char('\n') && c != Char('\r')) continue;
    lineFound(lineStart, p);
    if (c == Char('\r') && p + 1 != end && p[1] == Char('\n')) ++p;  // CR LF is one break
    lineStart = p + 1;
  }
  if (lineStart != end) lineFound(lineStart, end);
}

// An upper bound of the number of lines, for reserving the list once.
template <class Char>
qsizetype CountLineBreaks(const Char* begin, const Char* end) {
  qsizetype breaks = 0;
  for (const Char* p = begin; p != end; ++p) breaks += (*p == Char('\n')) | (*p == Char('\r'));
  return breaks + 1;
}

QStringList SplitTextLines(QStringView text);
