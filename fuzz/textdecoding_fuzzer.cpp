// Classification, encoding detection and loading of a file written from the input. Each answer is
// checked against a literal reading of the rules; a load either gives the lines of the whole,
// strictly decoded file or fails with a message and leaves the lines as they were; and a loaded
// side written back in its encoding loads again to the same lines.

#include "common/varnoqueerror.h"
#include "support/fuzzcheck.h"
#include "support/referencetext.h"
#include "support/scratchfile.h"
#include "text/textfile.h"

#include <optional>

namespace {

constexpr qsizetype SampleSize = 4096;

TTextCheck ExpectedCheck(QByteArrayView sample) {
  const auto text = [](const char* reason) { return TTextCheck{true, QString::fromLatin1(reason)}; };
  if (sample.isEmpty()) return text("Empty file.");
  if (sample.startsWith("\xEF\xBB\xBF")) return text("UTF-8 BOM detected.");
  if (sample.startsWith("\xFF\xFE")) return text("UTF-16 LE BOM detected.");
  if (sample.startsWith("\xFE\xFF")) return text("UTF-16 BE BOM detected.");
  if (sample.contains('\0')) return {false, QStringLiteral("Contains null bytes -> binary.")};
  if (reference::MatchesUtf8Pattern(sample)) return text("Valid UTF-8 (no BOM).");
  for (const char c : sample) {
    const uchar byte = uchar(c);
    if (byte < 0x20 && byte != 0x09 && byte != 0x0A && byte != 0x0D)
      return {false, QString::asprintf("Control byte $%02X detected ? binary.", byte)};
  }
  return text("ANSI text (no binary sequences detected).");
}

TDetectedEncoding ExpectedEncoding(QByteArrayView bytes) {
  const auto detected = [](const TEncoding& encoding, bool bom, const char* name) {
    return TDetectedEncoding{&encoding, bom, QString::fromLatin1(name)};
  };
  if (bytes.startsWith("\xEF\xBB\xBF")) return detected(TEncoding::UTF8(), true, "UTF-8 with BOM");
  if (bytes.startsWith("\xFF\xFE")) return detected(TEncoding::Unicode(), true, "UTF-16 LE with BOM");
  if (bytes.startsWith("\xFE\xFF")) return detected(TEncoding::BigEndianUnicode(), true, "UTF-16 BE with BOM");
  bool sevenBit = !bytes.isEmpty();
  for (const char c : bytes) sevenBit = sevenBit && uchar(c) < 0x80;
  if (sevenBit) return detected(TEncoding::ANSI(), false, "ANSI/ASCII");
  if (reference::MatchesUtf8Pattern(bytes)) return detected(TEncoding::UTF8(), false, "UTF-8");
  return detected(TEncoding::ANSI(), false, "ANSI");
}

bool SameEncoding(const TDetectedEncoding& a, const TDetectedEncoding& b) {
  return a.Encoding == b.Encoding && a.HasBOM == b.HasBOM && a.Name == b.Name;
}

// The ANSI code page gives one character per byte, keeps 7-bit bytes and the bytes A0 to FF as the
// characters of the same number, and writes every character it gave back as the same byte.
QString CheckedAnsiText(QByteArrayView bytes) {
  const QString text = TEncoding::ANSI().Decode(bytes, QString());
  FUZZ_CHECK(text.size() == bytes.size());
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const uchar byte = uchar(bytes[i]);
    const char16_t unit = text[i].unicode();
    if (byte < 0x80 || byte >= 0xA0) FUZZ_CHECK(unit == byte);
    else FUZZ_CHECK(unit >= 0x80 && (unit < 0xA0 || unit > 0xFF));
  }
  FUZZ_CHECK(TEncoding::ANSI().CanEncode(text));
  FUZZ_CHECK(TEncoding::ANSI().Encode(text) == bytes);
  return text;
}

// The text of the whole file after its byte-order mark, or nullopt when it must not decode.
std::optional<QString> ExpectedText(QByteArrayView bytes, const TDetectedEncoding& detected) {
  const QByteArrayView body = bytes.sliced(detected.HasBOM ? detected.Encoding->GetPreamble().size() : 0);
  if (detected.Encoding == &TEncoding::UTF8()) return reference::DecodeUtf8Strict(body);
  if (detected.Encoding == &TEncoding::Unicode()) return reference::DecodeUtf16Strict(body, false);
  if (detected.Encoding == &TEncoding::BigEndianUnicode()) return reference::DecodeUtf16Strict(body, true);
  return CheckedAnsiText(body);
}

// The loaded lines, or nullopt when the load failed (as it must for damaged text).
std::optional<QStringList> CheckedLoad(const QString& path, const TDetectedEncoding& expectedEncoding,
                                       const std::optional<QString>& expectedText) {
  const QStringList untouched = {QStringLiteral("lines before the load")};
  QStringList lines = untouched;
  try {
    const TDetectedEncoding loaded = LoadTextFile(path, lines);
    FUZZ_CHECK_MSG(expectedText.has_value(), QStringLiteral("damaged text loaded as ") + loaded.Name);
    FUZZ_CHECK(SameEncoding(loaded, expectedEncoding));
    FUZZ_CHECK(lines == reference::SplitLines(*expectedText));
    return lines;
  } catch (const EVarnoqueError& error) {
    FUZZ_CHECK_MSG(!expectedText.has_value(), error.Message());
    FUZZ_CHECK(!error.Message().isEmpty());
    FUZZ_CHECK(lines == untouched);
    return std::nullopt;
  }
}

// A side written back as it would be saved, and loaded again. An ANSI file with bytes of 80 or
// above may read back as UTF-8, so only 7-bit ANSI is checked.
void CheckWrittenBack(const QStringList& lines, const TDetectedEncoding& detected) {
  if (detected.Name == QLatin1String("ANSI")) return;
  static const TUTF8NoBOMEncoding utf8NoBom;
  const bool plainUtf8 = detected.Encoding == &TEncoding::UTF8() && !detected.HasBOM;
  const TEncoding& encoder = plainUtf8 ? utf8NoBom : *detected.Encoding;
  FUZZ_CHECK(encoder.CanEncode(lines.join(QString())));
  const QString path = ScratchPath(QStringLiteral("written.txt"));
  WriteTextFile(path, lines, encoder);
  QStringList again;
  const TDetectedEncoding reloaded = LoadTextFile(path, again);
  FUZZ_CHECK(again == lines);
  FUZZ_CHECK(reloaded.HasBOM == detected.HasBOM);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const QByteArrayView view(bytes);
  FUZZ_CHECK(IsValidUtf8(bytes.constData(), bytes.size()) == reference::MatchesUtf8Pattern(view));
  if (!bytes.isEmpty())
    FUZZ_CHECK(IsValidUtf8(bytes.constData(), bytes.size() - 1) == reference::MatchesUtf8Pattern(view.chopped(1)));

  const QString path = WriteScratchFile(QStringLiteral("side.txt"), bytes);
  const TTextCheck check = IsTextFile(path);
  const TTextCheck expectedCheck = ExpectedCheck(view.first(std::min(view.size(), SampleSize)));
  FUZZ_CHECK_MSG(check.IsText == expectedCheck.IsText && check.Reason == expectedCheck.Reason, check.Reason);

  const TDetectedEncoding expectedEncoding = ExpectedEncoding(view);
  FUZZ_CHECK(SameEncoding(DetectEncodingOfBytes(view), expectedEncoding));
  FUZZ_CHECK(SameEncoding(DetectEncoding(path), expectedEncoding));

  const std::optional<QStringList> lines = CheckedLoad(path, expectedEncoding, ExpectedText(view, expectedEncoding));
  if (lines) CheckWrittenBack(*lines, expectedEncoding);
  return 0;
}
