// The version page parser on any page body: the lines hold no line breaks and give the text back,
// empty lines are the only ones removed, and a version line is accepted exactly when both of its
// halves are decimal integers, with the values and the shown version they spell.

#include "support/fuzzcheck.h"
#include "support/referencetext.h"
#include "update/versionpage.h"

#include <limits>
#include <optional>

namespace {

QStringView TrimBlanks(QStringView text) {
  while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t')) text = text.sliced(1);
  while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t')) text.chop(1);
  return text;
}

// An optional sign and at least one ASCII digit, within the range of int.
std::optional<int> Decimal(QStringView text) {
  bool negative = false;
  if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text = text.sliced(1);
  }
  if (text.isEmpty()) return std::nullopt;
  qint64 magnitude = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c.unicode() - u'0');
    if (magnitude > qint64(1) << 32) return std::nullopt;
  }
  const qint64 value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return int(value);
}

std::optional<TVersionLine> ExpectedVersion(const QString& line) {
  const qsizetype slash = line.indexOf(u'/');
  if (slash < 0) return std::nullopt;
  const QStringView newestText = TrimBlanks(QStringView(line).first(slash));
  const std::optional<int> newest = Decimal(newestText);
  const std::optional<int> lowest = Decimal(TrimBlanks(QStringView(line).sliced(slash + 1)));
  if (!newest || !lowest) return std::nullopt;
  // A point before the last digit: "21" is shown as "2.1", "5" as ".5".
  const QString shown = newestText.first(newestText.size() - 1).toString() + u'.' + newestText.back();
  return TVersionLine{*newest, *lowest, shown};
}

void CheckVersionLine(const QString& line) {
  const std::optional<TVersionLine> parsed = ParseVersionLine(line);
  const std::optional<TVersionLine> expected = ExpectedVersion(line);
  FUZZ_CHECK_MSG(parsed.has_value() == expected.has_value(), fuzzcheck::Units(line));
  if (parsed) FUZZ_CHECK_MSG(*parsed == *expected, parsed->DisplayVersion);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
  const QStringList lines = DecodePageLines(body);
  const QByteArrayView text = body.startsWith("\xEF\xBB\xBF") ? QByteArrayView(body).sliced(3) : QByteArrayView(body);
  FUZZ_CHECK(lines == reference::SplitLines(QString::fromUtf8(text)));

  QStringList nonEmpty;
  for (const QString& line : lines)
    if (!line.isEmpty()) nonEmpty.append(line);
  FUZZ_CHECK(RemoveEmptyLines(lines) == nonEmpty);

  if (!lines.isEmpty()) CheckVersionLine(lines.first());
  CheckVersionLine(QString::fromUtf8(text));  // line breaks and all, as a damaged page might hold
  return 0;
}
