#pragma once
// The length of the leading run of 7-bit bytes, eight bytes at a time: detection runs over
// whole files, most of which are mainly ASCII.

#include <QtGlobal>

#include <cstring>

inline qint64 AsciiRunLength(const uchar* bytes, qint64 count) {
  constexpr quint64 HighBits = 0x8080808080808080ULL;
  qint64 i = 0;
  for (; i + 8 <= count; i += 8) {
    quint64 word;
    std::memcpy(&word, bytes + i, sizeof word);
    if (word & HighBits) break;
  }
  while (i < count && bytes[i] < 0x80) ++i;
  return i;
}
