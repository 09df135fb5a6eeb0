// ComputeDiff on two small line lists built from the input, row for row and field for field
// against the literal reference alignment of the diff tests; the rows form a complete alignment;
// and the common subsequence is the same under every division of the work.
//
// Input: an options byte, a work-division byte, then the left text, a 00 byte, the right text.
//   options byte, bits 0-5  IgnoreCase … IgnoreBlankLines, in the record's order ('@' is none)
//   division byte, bits 0-2  which TAlignTuning the subsequence is also computed with
//   division byte, bit 7  the texts are UTF-16LE code units (parted by the unit 0000), so lines
//          may hold lone surrogates and any other code unit
// Lines are parted by LF only, so a CR stays inside its line.

#include "diff/diffchecks.h"
#include "diff/leftmostlcs.h"
#include "diff/linekeys.h"
#include "diff/referencediff.h"
#include "support/fuzzcheck.h"

#include <QtEndian>

#include <sstream>

namespace {

// The reference is quadratic; longer lists are cut to this.
constexpr qsizetype MaxLines = 160;

TAlignTuning Tuned(std::int64_t walkMaxCost, std::int32_t stripWords, int parallelDepth, bool discard) {
  TAlignTuning t;
  t.WalkMaxCost = walkMaxCost;
  t.StripWords = stripWords;
  t.ParallelDepth = parallelDepth;
  t.ParallelMinCells = 0;
  t.DiscardUnmatched = discard;
  return t;
}

// The walk alone, the bit-parallel split alone with narrow strips, small walks under a guessed band
// that is too narrow, and threads at every level.
const TAlignTuning Tunings[8] = {
    TAlignTuning{},          Tuned(1 << 20, 8, 0, false), Tuned(-1, 1, 0, false), Tuned(-1, 2, 0, true),
    Tuned(2, 1, 0, false),   Tuned(0, 1, 0, true),        Tuned(10, 1, 2, true),  Tuned(-1, 3, 2, false),
};

QStringList Lines(const QString& text) {
  if (text.isEmpty()) return {};
  QStringList lines = text.split(u'\n');
  if (lines.size() > MaxLines) lines.resize(MaxLines);
  return lines;
}

std::string Shown(const QStringList& lines) {
  std::ostringstream out;
  for (const QString& line : lines) out << "\n  [" << fuzzcheck::Units(line).toStdString() << "]";
  return out.str();
}

std::string Shown(const TDiffItems& items) {
  std::ostringstream out;
  for (const TDiffItem& item : items) {
    out << "\n  ";
    PrintTo(item, &out);
  }
  return out.str();
}

void CheckRows(const QStringList& left, const QStringList& right, const TDiffOptions& options) {
  const TDiffItems actual = ComputeDiff(left, right, options);
  const TDiffItems expected = reference::Diff(left, right, options);
  const std::string context = "options " + diffchecks::OptionsName(options) + "\nleft:" + Shown(left) +
                              "\nright:" + Shown(right);
  FUZZ_CHECK_MSG(actual == expected, QString::fromStdString(context + "\nrows:" + Shown(actual) +
                                                            "\nexpected:" + Shown(expected)));
  const testing::AssertionResult complete = diffchecks::IsCompleteAlignment(actual, left, right, options);
  FUZZ_CHECK_MSG(bool(complete), QString::fromStdString(context + "\n" + complete.message()));
}

void CheckMatches(const QStringList& left, const QStringList& right, const TDiffOptions& options,
                  const TAlignTuning& tuning) {
  QStringList leftKeys, rightKeys;
  for (const QString& line : left) leftKeys.append(reference::Key(line, options));
  for (const QString& line : right) rightKeys.append(reference::Key(line, options));
  const TLineIds ids = InternKeys(left, right, options);
  const std::vector<TMatch> actual = LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount, tuning);
  FUZZ_CHECK_MSG(actual == reference::Matches(leftKeys, rightKeys),
                 QString::fromStdString("options " + diffchecks::OptionsName(options) + "\nleft:" + Shown(left) +
                                        "\nright:" + Shown(right)));
}

QString DecodeText(QByteArrayView bytes, bool utf16) {
  if (!utf16) return QString::fromUtf8(bytes);
  QString text(bytes.size() / 2, Qt::Uninitialized);
  qFromLittleEndian<char16_t>(bytes.data(), text.size(), text.data());
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const TDiffOptions options = diffchecks::OptionsFromBits(data[0] & 0x3F);
  const TAlignTuning& tuning = Tunings[data[1] & 7];
  const QString text = DecodeText(QByteArrayView(reinterpret_cast<const char*>(data) + 2, qsizetype(size) - 2),
                                  data[1] & 0x80);
  const qsizetype split = text.indexOf(QChar(u'\0'));
  const QStringList left = Lines(split < 0 ? text : text.first(split));
  const QStringList right = Lines(split < 0 ? QString() : text.sliced(split + 1));
  CheckRows(left, right, options);
  CheckMatches(left, right, options, tuning);
  return 0;
}
