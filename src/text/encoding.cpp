#include "text/encoding.h"

#include "common/varnoqueerror.h"
#include "i18n/format.h"
#include "i18n/translations.h"
#include "text/filebytes.h"

#include <QStringDecoder>
#include <QtEndian>

#include <array>

namespace {

// What Windows-1252 puts at 0x80..0x9F; every other byte is its Latin-1 character. The five
// unassigned bytes stand for the C1 controls of the same number, as Windows decodes them.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Written for a character the code page cannot hold, as Windows does for this code page.
constexpr char AnsiReplacement = '?';

// The Windows-1252 byte for a UTF-16 code unit, or -1 when the code page lacks it.
int Cp1252Byte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (std::size_t i = 0; i < Cp1252High.size(); ++i)
    if (Cp1252High[i] == unit) return int(0x80 + i);
  return -1;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The length of the character starting at i: 2 for a surrogate pair, 1 otherwise, 0 for a
// surrogate without its partner.
int CharacterLength(QStringView text, qsizetype i) {
  const char16_t unit = text[i].unicode();
  if (IsHighSurrogate(unit))
    return i + 1 < text.size() && IsLowSurrogate(text[i + 1].unicode()) ? 2 : 0;
  return IsLowSurrogate(unit) ? 0 : 1;
}

qsizetype FirstUnpairedSurrogate(QStringView text) {
  for (qsizetype i = 0; i < text.size();) {
    const int length = CharacterLength(text, i);
    if (length == 0) return i;
    i += length;
  }
  return -1;
}

// The text with every unpaired surrogate replaced, so that the file written can be read back;
// the text itself when it has none.
class TPairedText {
public:
  explicit TPairedText(QStringView text) : FView(text) {
    if (FirstUnpairedSurrogate(text) < 0) return;
    FRepaired = text.toString();
    for (qsizetype i = 0; i < FRepaired.size(); ++i) {
      const int length = CharacterLength(FRepaired, i);
      if (length == 0) FRepaired[i] = QChar(u'?');
      else i += length - 1;
    }
    FView = FRepaired;
  }
  TPairedText(const TPairedText&) = delete;  // the view may point into this object
  TPairedText& operator=(const TPairedText&) = delete;
  QStringView View() const { return FView; }

private:
  QStringView FView;
  QString FRepaired;
};

// The 1-based line of the file that holds the unit at the offset.
template <typename Unit>
qint64 LineNumberAt(const Unit* units, qsizetype offset) {
  qint64 line = 1;
  for (qsizetype i = 0; i < offset; ++i) {
    if (units[i] == Unit('\n')) ++line;
    else if (units[i] == Unit('\r') && !(i + 1 < offset && units[i + 1] == Unit('\n'))) ++line;
  }
  return line;
}

[[noreturn]] void FailDecoding(const char* format, const QString& fileName, qint64 line) {
  throw EVarnoqueError(
      FormatText(Translate(QString::fromUtf8(format)), {DisplayPath(fileName), line}));
}

// Offset of the first byte that breaks well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), or -1. Only used to point at the place of a decoding error.
qsizetype FirstInvalidUtf8(QByteArrayView bytes) {
  const auto* b = reinterpret_cast<const uchar*>(bytes.data());
  const qsizetype count = bytes.size();
  qsizetype i = 0;
  while (i < count) {
    const uchar lead = b[i];
    int more = 0;
    uchar low = 0x80, high = 0xBF;  // range of the first continuation byte
    if (lead < 0x80) more = 0;
    else if (lead >= 0xC2 && lead <= 0xDF) more = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else return i;
    for (int k = 1; k <= more; ++k) {
      const uchar lo = k == 1 ? low : 0x80, hi = k == 1 ? high : 0xBF;
      if (i + k >= count || b[i + k] < lo || b[i + k] > hi) return i;
    }
    i += more + 1;
  }
  return -1;
}

class TAnsiEncoding : public TEncoding {
public:
  QByteArray GetPreamble() const override { return {}; }

  QString Decode(QByteArrayView bytes, const QString&) const override {
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text)
      if (c.unicode() >= 0x80 && c.unicode() <= 0x9F) c = QChar(Cp1252High[c.unicode() - 0x80]);
    return text;
  }

  QByteArray Encode(QStringView text) const override {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
      const int byte = Cp1252Byte(text[i].unicode());
      bytes.append(byte < 0 ? AnsiReplacement : char(byte));
      if (CharacterLength(text, i) == 2) ++i;  // one replacement for the whole pair
    }
    return bytes;
  }

  bool CanEncode(QStringView text) const override {
    for (QChar c : text)
      if (Cp1252Byte(c.unicode()) < 0) return false;
    return true;
  }
};

class TUTF16Encoding : public TEncoding {
public:
  explicit TUTF16Encoding(bool bigEndian) : FBigEndian(bigEndian) {}

  QByteArray GetPreamble() const override {
    return FBigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
  }

  QString Decode(QByteArrayView bytes, const QString& fileName) const override {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    if (FBigEndian) qFromBigEndian<char16_t>(bytes.data(), text.size(), text.data());
    else qFromLittleEndian<char16_t>(bytes.data(), text.size(), text.data());
    // A trailing odd byte or a surrogate without its partner is damage, not text.
    qsizetype bad = FirstUnpairedSurrogate(text);
    if (bad < 0 && bytes.size() % 2 != 0) bad = text.size();
    if (bad >= 0) FailDecoding("The file \"%s\" is not valid UTF-16 (line %d).", fileName,
                               LineNumberAt(text.utf16(), bad));
    return text;
  }

  QByteArray Encode(QStringView text) const override {
    const TPairedText paired(text);
    const QStringView units = paired.View();
    QByteArray bytes(units.size() * 2, Qt::Uninitialized);
    if (FBigEndian) qToBigEndian<char16_t>(units.utf16(), units.size(), bytes.data());
    else qToLittleEndian<char16_t>(units.utf16(), units.size(), bytes.data());
    return bytes;
  }

  bool CanEncode(QStringView text) const override { return FirstUnpairedSurrogate(text) < 0; }

private:
  bool FBigEndian;
};

}  // namespace

QByteArray TUTF8Encoding::GetPreamble() const { return QByteArray("\xEF\xBB\xBF", 3); }

QString TUTF8Encoding::Decode(QByteArrayView bytes, const QString& fileName) const {
  // Keep a byte-order mark that is part of the text: the loader has removed the file's own.
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                     QStringConverter::Flag::ConvertInitialBom);
  QString text = decoder.decode(bytes);
  if (!decoder.hasError()) return text;
  qsizetype bad = FirstInvalidUtf8(bytes);
  if (bad < 0) bad = bytes.size();
  FailDecoding("The file \"%s\" is not valid UTF-8 (line %d).", fileName,
               LineNumberAt(bytes.data(), bad));
}

QByteArray TUTF8Encoding::Encode(QStringView text) const {
  return TPairedText(text).View().toUtf8();
}

bool TUTF8Encoding::CanEncode(QStringView text) const { return FirstUnpairedSurrogate(text) < 0; }

const TEncoding& TEncoding::ANSI() {
  static const TAnsiEncoding encoding;
  return encoding;
}

const TEncoding& TEncoding::UTF8() {
  static const TUTF8Encoding encoding;
  return encoding;
}

const TEncoding& TEncoding::Unicode() {
  static const TUTF16Encoding encoding(false);
  return encoding;
}

const TEncoding& TEncoding::BigEndianUnicode() {
  static const TUTF16Encoding encoding(true);
  return encoding;
}
