#pragma once
// The encodings a side is read and written with, each with its preamble (the bytes written before
// the text). Four shared instances; TUTF8NoBOMEncoding writes UTF-8 without a byte-order mark.

#include <QByteArray>
#include <QString>

class TEncoding {
public:
  virtual ~TEncoding() = default;
  virtual QByteArray GetPreamble() const = 0;
  // Decodes bytes that follow the byte-order mark; raises EVarnoqueError naming the file when the
  // bytes are not valid in this encoding (UTF-8 is strict).
  virtual QString Decode(QByteArrayView bytes, const QString& fileName) const = 0;
  virtual QByteArray Encode(QStringView text) const = 0;
  // True when every character of the text can be written in this encoding.
  virtual bool CanEncode(QStringView text) const = 0;

  static const TEncoding& ANSI();              // Windows-1252
  static const TEncoding& UTF8();              // preamble EF BB BF
  static const TEncoding& Unicode();           // UTF-16 LE, preamble FF FE
  static const TEncoding& BigEndianUnicode();  // UTF-16 BE, preamble FE FF
};

class TUTF8Encoding : public TEncoding {
public:
  QByteArray GetPreamble() const override;
  QString Decode(QByteArrayView bytes, const QString& fileName) const override;
  QByteArray Encode(QStringView text) const override;
  bool CanEncode(QStringView text) const override;
};

class TUTF8NoBOMEncoding : public TUTF8Encoding {
public:
  QByteArray GetPreamble() const override { return {}; }
};
