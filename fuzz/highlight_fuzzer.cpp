// Changed-word highlight ranges of two lines built from the input. The ranges are sorted, positive,
// neither overlapping nor touching and inside the line; below the size bound they are exactly the
// tokens a literal longest-common-subsequence matching leaves unmatched, above it the whole line,
// so a long line costs no quadratic table.
//
// Input: a flags byte, then this line, a 00 byte, the other line.
//   bit 0  ignore case
//   bit 1  the lines are UTF-16LE code units (lone surrogates included) instead of UTF-8, and
//          the two are parted by the code unit 0000
//   bits 2-4  7 repeats each line 4096 times, 6 repeats it 16 times (at most 2^16 units a line);
//          other values leave it as it is
//   bit 5  instead of two lines, the rest is a list of (Start, Len) pairs of 32-bit integers for
//          NormalizeHighlightRanges

#include "support/fuzzcheck.h"
#include "view/highlightranges.h"

#include <QtEndian>

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr qsizetype MaxLineUnits = qsizetype(1) << 16;

// The input's text: UTF-8 (damage replaced) or UTF-16LE code units as they stand.
QString DecodeText(QByteArrayView bytes, bool utf16) {
  if (!utf16) return QString::fromUtf8(bytes);
  QString text(bytes.size() / 2, Qt::Uninitialized);
  qFromLittleEndian<char16_t>(bytes.data(), text.size(), text.data());
  return text;
}

QString Repeated(const QString& line, int repeats) {
  if (line.isEmpty()) return line;
  return line.repeated(std::min<qsizetype>(repeats, MaxLineUnits / line.size() + 1));
}

// Sorted, positive, apart from each other by at least one unit, and inside [0, length).
void CheckNormalised(const THighlightRanges& ranges, qint64 length) {
  for (qsizetype k = 0; k < ranges.size(); ++k) {
    FUZZ_CHECK(ranges[k].Len > 0);
    FUZZ_CHECK(ranges[k].Start >= 0 || length < 0);
    FUZZ_CHECK(length < 0 || qint64(ranges[k].Start) + ranges[k].Len <= length);
    if (k > 0) FUZZ_CHECK(ranges[k].Start > qint64(ranges[k - 1].Start) + ranges[k - 1].Len);
  }
}

void CheckTokens(const QString& line, const TWordTokens& tokens) {
  FUZZ_CHECK(tokens.Starts.size() == tokens.Texts.size() && tokens.Lengths.size() == tokens.Texts.size());
  FUZZ_CHECK(tokens.Texts.join(QString()) == line);
  qint32 next = 0;
  for (qsizetype k = 0; k < tokens.Texts.size(); ++k) {
    const QString& text = tokens.Texts[k];
    FUZZ_CHECK(tokens.Starts[k] == next && tokens.Lengths[k] == text.size() && !text.isEmpty());
    const bool word = IsWordChar(text[0]);
    for (QChar c : text) FUZZ_CHECK(IsWordChar(c) == word);
    if (k > 0) FUZZ_CHECK(IsWordChar(tokens.Texts[k - 1][0]) != word);  // runs are maximal
    next += tokens.Lengths[k];
  }
}

bool CharWord(char16_t u) {
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}

// The matching as a full table filled and walked back, tokens compared with a to z folded.
std::vector<bool> ExpectedThisMatched(const QStringList& a, const QStringList& b, bool ignoreCase) {
  // Tokens as numbers, equal exactly when the folded texts are.
  std::map<std::u16string, int> numbers;
  const auto number = [&](const QString& token) {
    std::u16string folded = token.toStdU16String();
    for (char16_t& u : folded)
      if (ignoreCase && u >= 'a' && u <= 'z') u = char16_t(u - 32);
    return numbers.emplace(folded, int(numbers.size())).first->second;
  };
  std::vector<int> x, y;
  for (const QString& token : a) x.push_back(number(token));
  for (const QString& token : b) y.push_back(number(token));
  const size_t nA = x.size(), nB = y.size();
  std::vector<std::int32_t> table((nA + 1) * (nB + 1), 0);
  const auto at = [&](size_t i, size_t j) -> std::int32_t& { return table[i * (nB + 1) + j]; };
  for (size_t i = 1; i <= nA; ++i)
    for (size_t j = 1; j <= nB; ++j)
      at(i, j) = x[i - 1] == y[j - 1] ? at(i - 1, j - 1) + 1 : std::max(at(i - 1, j), at(i, j - 1));
  std::vector<bool> matched(nA, false);
  size_t i = nA, j = nB;
  while (i > 0 && j > 0) {
    if (x[i - 1] == y[j - 1]) {
      matched[--i] = true;
      --j;
    } else if (at(i - 1, j) < at(i, j - 1)) {
      --j;
    } else {
      --i;
    }
  }
  return matched;
}

// Runs of unmatched tokens as ranges, neighbours joined.
THighlightRanges RangesOfUnmatched(const TWordTokens& tokens, const std::vector<bool>& matched) {
  THighlightRanges ranges;
  for (qsizetype k = 0; k < tokens.Texts.size(); ++k) {
    if (matched[size_t(k)]) continue;
    if (!ranges.isEmpty() && ranges.last().Start + ranges.last().Len == tokens.Starts[k])
      ranges.last().Len += tokens.Lengths[k];
    else
      ranges.append({tokens.Starts[k], tokens.Lengths[k]});
  }
  return ranges;
}

void CheckLines(const QString& thisLine, const QString& otherLine, bool ignoreCase) {
  const TWordTokens mine = SplitWordTokens(thisLine);
  const TWordTokens theirs = SplitWordTokens(otherLine);
  CheckTokens(thisLine, mine);
  CheckTokens(otherLine, theirs);
  for (QChar c : thisLine) FUZZ_CHECK(IsWordChar(c) == CharWord(c.unicode()));

  const THighlightRanges ranges = ComputeHighlightRanges(thisLine, otherLine, ignoreCase);
  CheckNormalised(ranges, thisLine.size());
  const qint64 cells = qint64(mine.Texts.size() + 1) * qint64(theirs.Texts.size() + 1);
  if (cells > MaxHighlightTableCells || theirs.Texts.isEmpty()) {
    // No matching: the whole line is marked.
    const THighlightRanges whole = thisLine.isEmpty() ? THighlightRanges{} : THighlightRanges{{0, qint32(thisLine.size())}};
    FUZZ_CHECK(ranges == whole);
    return;
  }
  const std::vector<bool> expected = ExpectedThisMatched(mine.Texts, theirs.Texts, ignoreCase);
  const TTokenMatches matches = MatchTokensLcs(mine.Texts, theirs.Texts, ignoreCase);
  FUZZ_CHECK(std::vector<bool>(matches.ThisMatched.begin(), matches.ThisMatched.end()) == expected);
  FUZZ_CHECK(std::count(matches.ThisMatched.begin(), matches.ThisMatched.end(), true) ==
             std::count(matches.OtherMatched.begin(), matches.OtherMatched.end(), true));
  FUZZ_CHECK(ranges == RangesOfUnmatched(mine, expected));
}

// Normalisation of arbitrary ranges keeps exactly the units they cover.
void CheckNormalisation(QByteArrayView bytes) {
  THighlightRanges ranges;
  for (qsizetype k = 0; k + 8 <= bytes.size() && ranges.size() < 64; k += 8)
    ranges.append({qFromLittleEndian<qint32>(bytes.data() + k), qFromLittleEndian<qint32>(bytes.data() + k + 4)});
  // The same union by merging sorted 64-bit intervals.
  std::vector<std::pair<qint64, qint64>> intervals;
  for (const THighlightRange& r : ranges)
    if (r.Len > 0) intervals.push_back({r.Start, qint64(r.Start) + r.Len});
  std::sort(intervals.begin(), intervals.end());
  std::vector<std::pair<qint64, qint64>> merged;
  for (const auto& interval : intervals) {
    if (!merged.empty() && interval.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, interval.second);
    else
      merged.push_back(interval);
  }
  NormalizeHighlightRanges(ranges);
  CheckNormalised(ranges, -1);
  // A union longer than the largest length is cut short, which only ranges far outside any line
  // can make; the comparison holds for the rest.
  for (const auto& [start, end] : merged)
    if (end - start > std::numeric_limits<qint32>::max()) return;
  FUZZ_CHECK(ranges.size() == qsizetype(merged.size()));
  for (qsizetype k = 0; k < ranges.size(); ++k)
    FUZZ_CHECK(ranges[k].Start == merged[size_t(k)].first &&
               qint64(ranges[k].Start) + ranges[k].Len == merged[size_t(k)].second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const QByteArrayView rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
  if (flags & 0x20) {
    CheckNormalisation(rest);
    return 0;
  }
  static constexpr int Repeats[] = {1, 1, 1, 1, 1, 1, 16, 4096};
  const int repeats = Repeats[(flags >> 2) & 7];
  const QString text = DecodeText(rest, flags & 2);
  const qsizetype split = text.indexOf(QChar(u'\0'));
  const QString thisLine = split < 0 ? text : text.first(split);
  const QString otherLine = split < 0 ? QString() : text.sliced(split + 1);
  CheckLines(Repeated(thisLine, repeats), Repeated(otherLine, repeats), flags & 1);
  return 0;
}
