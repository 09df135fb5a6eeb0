#include "support/referencetext.h"

namespace reference {

bool MatchesUtf8Pattern(QByteArrayView bytes) {
  bool seen = false;
  qsizetype i = 0;
  while (i < bytes.size()) {
    const uchar lead = uchar(bytes[i]);
    int more;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if ((lead & 0xE0) == 0xC0) more = 1;
    else if ((lead & 0xF0) == 0xE0) more = 2;
    else if ((lead & 0xF8) == 0xF0) more = 3;
    else return false;
    if (i + more >= bytes.size()) return false;
    for (int k = 1; k <= more; ++k)
      if ((uchar(bytes[i + k]) & 0xC0) != 0x80) return false;
    seen = true;
    i += more + 1;
  }
  return seen;
}

std::optional<QString> DecodeUtf8Strict(QByteArrayView bytes) {
  QString text;
  qsizetype i = 0;
  while (i < bytes.size()) {
    const uchar lead = uchar(bytes[i]);
    int more;
    char32_t code;
    if (lead < 0x80) more = 0, code = lead;
    else if (lead >= 0xC2 && lead <= 0xDF) more = 1, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) more = 2, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) more = 3, code = lead & 0x07;
    else return std::nullopt;
    if (i + more >= bytes.size() && more > 0) return std::nullopt;
    for (int k = 1; k <= more; ++k) {
      const uchar next = uchar(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < smallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    if (code >= 0x10000) {
      text.append(QChar(char16_t(0xD800 + ((code - 0x10000) >> 10))));
      text.append(QChar(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF))));
    } else {
      text.append(QChar(char16_t(code)));
    }
    i += more + 1;
  }
  return text;
}

std::optional<QString> DecodeUtf16Strict(QByteArrayView bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  QString text;
  for (qsizetype i = 0; i < bytes.size(); i += 2) {
    const uchar first = uchar(bytes[i]), second = uchar(bytes[i + 1]);
    text.append(QChar(char16_t(bigEndian ? (first << 8) | second : (second << 8) | first)));
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    else if (text[i].isSurrogate()) return std::nullopt;
  }
  return text;
}

QStringList SplitLines(const QString& text) {
  QStringList lines;
  QString current;
  bool open = false;  // a line has begun that no break has ended yet
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      lines.append(current);
      current.clear();
      open = false;
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      current.append(c);
      open = true;
    }
  }
  if (open) lines.append(current);
  return lines;
}

}  // namespace reference
