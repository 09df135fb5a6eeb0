// Whether a file's beginning is text, and the UTF-8 pattern test shared with encoding detection.
#include "text/textfile.h"

#include "i18n/format.h"
#include "i18n/translations.h"
#include "text/asciiscan.h"
#include "text/filebytes.h"

#include <QFileInfo>

namespace {

// The classification reads no more than this, whatever the file's size.
constexpr qint64 SampleSize = 4096;

TTextCheck Text(const char* reason) { return {true, Translate(QString::fromUtf8(reason))}; }
TTextCheck Binary(const char* reason) { return {false, Translate(QString::fromUtf8(reason))}; }

// The first byte below 0x20 other than TAB, LF and CR, or -1.
int FirstControlByte(QByteArrayView sample) {
  for (const char c : sample) {
    const uchar byte = uchar(c);
    if (byte < 0x20 && byte != 0x09 && byte != 0x0A && byte != 0x0D) return byte;
  }
  return -1;
}

TTextCheck ClassifySample(QByteArrayView sample) {
  if (sample.isEmpty()) return Text("Empty file.");
  if (sample.startsWith("\xEF\xBB\xBF")) return Text("UTF-8 BOM detected.");
  if (sample.startsWith("\xFF\xFE")) return Text("UTF-16 LE BOM detected.");
  if (sample.startsWith("\xFE\xFF")) return Text("UTF-16 BE BOM detected.");
  if (sample.contains('\0')) return Binary("Contains null bytes -> binary.");
  if (IsValidUtf8(sample.data(), sample.size())) return Text("Valid UTF-8 (no BOM).");
  const int control = FirstControlByte(sample);
  // This reason is shown as it stands, in every language.
  if (control >= 0)
    return {false, FormatText(QStringLiteral("Control byte $%2.2x detected ? binary."), {control})};
  return Text("ANSI text (no binary sequences detected).");
}

// Continuation bytes after a lead byte, or -1 for a byte that cannot lead a sequence.
int ContinuationCount(uchar lead) {
  if ((lead & 0xE0) == 0xC0) return 1;
  if ((lead & 0xF0) == 0xE0) return 2;
  if ((lead & 0xF8) == 0xF0) return 3;
  return -1;
}

}  // namespace

TTextCheck IsTextFile(const QString& path) {
  // Only a regular file is opened: reading a pipe would wait for a writer without end.
  if (!QFileInfo(path).isFile()) return Binary("File does not exist.");
  return ClassifySample(ReadFileBytes(path, SampleSize));
}

bool IsValidUtf8(const char* bytes, qint64 count) {
  const auto* b = reinterpret_cast<const uchar*>(bytes);
  bool seen = false;
  qint64 i = 0;
  while (i < count) {
    if (b[i] < 0x80) {
      i += AsciiRunLength(b + i, count - i);
      continue;
    }
    const int n = ContinuationCount(b[i]);
    if (n < 0 || i + n >= count) return false;
    for (int k = 1; k <= n; ++k)
      if ((b[i + k] & 0xC0) != 0x80) return false;
    seen = true;
    i += n + 1;
  }
  return seen;
}
