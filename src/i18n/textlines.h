#pragma once
// Text to lines: a line ends at CR LF, a lone LF or a lone CR; a final line break adds no empty
// line. Shared by the translation table reader and the text file loader (which links this library).

#include <QStringList>
#include <QStringView>

// Calls lineFound(begin, end) for every line of the characters (UTF-16 code units or bytes).
template <class Char, class LineFound>
void ForEachLine(const Char* begin, const Char* end, LineFound lineFound) {
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
