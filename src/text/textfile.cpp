// Detecting a file's encoding, loading it into lines and writing a side back.
#include "text/textfile.h"

#include "common/varnoqueerror.h"
#include "i18n/format.h"
#include "i18n/textlines.h"
#include "i18n/translations.h"
#include "text/asciiscan.h"
#include "text/filebytes.h"

#include <QSaveFile>

namespace {

// Lines are encoded and written in pieces of about this many characters, so that a large side
// is never held a second time, whole, in encoded form.
constexpr qsizetype WriteChunkChars = 1 << 20;

TDetectedEncoding Detected(const TEncoding& encoding, bool hasBOM, const char* name) {
  return {&encoding, hasBOM, QString::fromLatin1(name)};
}

[[noreturn]] void FailWriting(const QString& path, const QSaveFile& file) {
  throw EVarnoqueError(FormatText(Translate(QStringLiteral("Cannot write the file \"%s\": %s")),
                                  {DisplayPath(path), file.errorString()}));
}

void WriteAll(QSaveFile& file, const QString& path, QByteArrayView bytes) {
  // A write may take only part of the bytes (a full disk, a size limit); the rest is written
  // again until it goes through or the device reports why it cannot.
  while (!bytes.isEmpty()) {
    const qint64 written = file.write(bytes.data(), bytes.size());
    if (written <= 0) FailWriting(path, file);
    bytes = bytes.sliced(written);
  }
}

// A 7-bit file becomes its lines straight from the bytes, without a decoded copy of the whole
// text in between: the same characters in half the memory traffic.
QStringList SplitAsciiLines(QByteArrayView bytes) {
  QStringList lines;
  lines.reserve(CountLineBreaks(bytes.data(), bytes.data() + bytes.size()));
  ForEachLine(bytes.data(), bytes.data() + bytes.size(),
              [&lines](const char* begin, const char* end) { lines.append(QString::fromLatin1(begin, end - begin)); });
  return lines;
}

// Lines that share the text they were split from instead of holding copies of their own.
QStringList SplitLineViews(const QString& text) {
  QStringList lines;
  const auto* begin = reinterpret_cast<const char16_t*>(text.utf16());
  const auto* end = begin + text.size();
  lines.reserve(CountLineBreaks(begin, end));
  ForEachLine(begin, end, [&lines](const char16_t* lineBegin, const char16_t* lineEnd) {
    lines.append(QString::fromRawData(reinterpret_cast<const QChar*>(lineBegin), lineEnd - lineBegin));
  });
  return lines;
}

}  // namespace

TDetectedEncoding DetectEncodingOfBytes(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return Detected(TEncoding::UTF8(), true, "UTF-8 with BOM");
  if (bytes.startsWith("\xFF\xFE"))
    return Detected(TEncoding::Unicode(), true, "UTF-16 LE with BOM");
  if (bytes.startsWith("\xFE\xFF"))
    return Detected(TEncoding::BigEndianUnicode(), true, "UTF-16 BE with BOM");
  const auto* data = reinterpret_cast<const uchar*>(bytes.data());
  const qint64 ascii = AsciiRunLength(data, bytes.size());
  if (!bytes.isEmpty() && ascii == bytes.size())
    return Detected(TEncoding::ANSI(), false, "ANSI/ASCII");
  // The 7-bit run holds no multi-byte sequence, so the test may start after it.
  if (IsValidUtf8(bytes.data() + ascii, bytes.size() - ascii))
    return Detected(TEncoding::UTF8(), false, "UTF-8");
  return Detected(TEncoding::ANSI(), false, "ANSI");
}

TDetectedEncoding DetectEncoding(const QString& path) {
  return DetectEncodingOfBytes(ReadFileBytes(path));
}

TDetectedEncoding LoadTextFile(const QString& path, QStringList& lines, QString* storage) {
  // One read serves both the detection and the decoding.
  QByteArray bytes = ReadFileBytes(path);
  const TDetectedEncoding detected = DetectEncodingOfBytes(bytes);
  const bool ascii = detected.Name == QLatin1String("ANSI/ASCII");
  if (ascii && !storage) {
    QStringList loaded = SplitAsciiLines(bytes);
    lines.swap(loaded);
    return detected;
  }
  const qsizetype bomSize = detected.HasBOM ? detected.Encoding->GetPreamble().size() : 0;
  // 7-bit bytes are the same characters in every one of the encodings: no table is needed.
  QString text = ascii ? QString::fromLatin1(bytes)
                       : detected.Encoding->Decode(QByteArrayView(bytes).sliced(bomSize), path);
  bytes.clear();
  QStringList loaded = storage ? SplitLineViews(text) : SplitLines(text);
  lines.swap(loaded);
  if (storage) storage->swap(text);
  return detected;
}

QStringList SplitLines(QStringView text) { return SplitTextLines(text); }

void WriteTextFile(const QString& path, const QStringList& lines, const TEncoding& encoder) {
  // The previous file is replaced only once the new one is complete.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) FailWriting(path, file);
  WriteAll(file, path, encoder.GetPreamble());
  QString chunk;
  chunk.reserve(WriteChunkChars + 1024);
  for (const QString& line : lines) {
    chunk.append(line);
    chunk.append(u"\r\n");
    if (chunk.size() < WriteChunkChars) continue;
    WriteAll(file, path, encoder.Encode(chunk));
    chunk.resize(0);
  }
  WriteAll(file, path, encoder.Encode(chunk));
  // The last bytes may still sit in the buffer: a disk that is full fails their flush, and the
  // commit must not put the short file in place of the previous one.
  if (!file.flush() || !file.commit()) FailWriting(path, file);
}
