// The rows for the cases that pin the alignment down: tie-breaks, gap pairing, change ranges and
// the blank-line rule, every field of every row.

#include "diff/diffchecks.h"

#include <gtest/gtest.h>

namespace {

TDiffItem Row(qint32 l, qint32 r, TDiffKind kind) { return {l, r, kind, -1, 0, -1, 0}; }
TDiffItem Changed(qint32 l, qint32 r, qint32 start, qint32 leftLen, qint32 rightLen) {
  return {l, r, dkDifferent, start, leftLen, start, rightLen};
}

struct TAlignmentCase {
  const char* Name;
  QStringList Left, Right;
  TDiffOptions Options;
  TDiffItems Rows;
  friend void PrintTo(const TAlignmentCase& c, std::ostream* os) { *os << c.Name; }
};

TDiffOptions IgnoringCase() {
  TDiffOptions o;
  o.IgnoreCase = true;
  return o;
}

TDiffOptions IgnoringBlankLines() {
  TDiffOptions o;
  o.IgnoreBlankLines = true;
  return o;
}

const TAlignmentCase kAlignments[] = {
    {"BothEmpty", {}, {}, {}, {}},
    {"LeftEmpty", {}, {"a", "b", "c"}, {}, {Row(-1, 0, dkRightOnly), Row(-1, 1, dkRightOnly), Row(-1, 2, dkRightOnly)}},
    {"RightEmpty", {"a", "b"}, {}, {}, {Row(0, -1, dkLeftOnly), Row(1, -1, dkLeftOnly)}},
    {"Identical", {"a", "b", "a"}, {"a", "b", "a"}, {}, {Row(0, 0, dkEqual), Row(1, 1, dkEqual), Row(2, 2, dkEqual)}},
    {"SwappedPrefersLaterLeftLine",
     {"A", "B"},
     {"B", "A"},
     {},
     {Row(0, -1, dkLeftOnly), Row(1, 0, dkEqual), Row(-1, 1, dkRightOnly)}},
    {"OneLeftLineTakesFirstEqualRight", {"X"}, {"X", "X"}, {}, {Row(0, 0, dkEqual), Row(-1, 1, dkRightOnly)}},
    {"RepeatedLeftLineMatchesTheLastOne", {"X", "X"}, {"X"}, {}, {Row(0, -1, dkLeftOnly), Row(1, 0, dkEqual)}},
    {"PairedByPositionNotSimilarity", {"a", "b"}, {"c"}, {}, {Changed(0, 0, 0, 1, 1), Row(1, -1, dkLeftOnly)}},
    {"SurplusAddedLinesFollowPairs",
     {"a"},
     {"x", "y", "z"},
     {},
     {Changed(0, 0, 0, 1, 1), Row(-1, 1, dkRightOnly), Row(-1, 2, dkRightOnly)}},
    {"SeveralGaps",
     {"a", "1", "b", "2", "3", "c"},
     {"a", "b", "9", "c"},
     {},
     {Row(0, 0, dkEqual), Row(1, -1, dkLeftOnly), Row(2, 1, dkEqual), Changed(3, 2, 0, 1, 1), Row(4, -1, dkLeftOnly),
      Row(5, 3, dkEqual)}},
    {"RangeInTheMiddle", {"abcdef"}, {"abXYef"}, {}, {Changed(0, 0, 2, 2, 2)}},
    {"RangeOfAnAppendedCharacter", {"abc"}, {"abcd"}, {}, {Changed(0, 0, 3, 0, 1)}},
    {"SuffixDoesNotReachIntoPrefix", {"aXa"}, {"aa"}, {}, {Changed(0, 0, 1, 1, 0)}},
    {"RangeIsCaseSensitiveUnderIgnoreCase", {"Hello"}, {"help"}, IgnoringCase(), {Changed(0, 0, 0, 5, 4)}},
    {"IgnoredCaseMakesRowsEqual", {"Hello"}, {"hELLO"}, IgnoringCase(), {Row(0, 0, dkEqual)}},
    {"RemovedBlankLineCountsAsEqual",
     {"a", "", "b"},
     {"a", "b"},
     IgnoringBlankLines(),
     {Row(0, 0, dkEqual), Row(1, -1, dkEqual), Row(2, 1, dkEqual)}},
    {"ChangedRowWithBlankSideCountsAsEqual",
     {"x", ""},
     {"x", "y"},
     IgnoringBlankLines(),
     {Row(0, 0, dkEqual), Row(1, 1, dkEqual)}},
    {"BlankLinesMatchEachOther",
     {"a", " ", "b"},
     {"a", "\t", "c"},
     IgnoringBlankLines(),
     {Row(0, 0, dkEqual), Row(1, 1, dkEqual), Changed(2, 2, 0, 1, 1)}},
    {"BlankRowsWithoutTheOptionAreChanges", {"a", " "}, {"a", ""}, {}, {Row(0, 0, dkEqual), Changed(1, 1, 0, 1, 0)}},
};

class AlignmentTest : public testing::TestWithParam<TAlignmentCase> {};

TEST_P(AlignmentTest, GivesTheseRows) {
  const TAlignmentCase& c = GetParam();
  const TDiffItems rows = ComputeDiff(c.Left, c.Right, c.Options);
  EXPECT_EQ(rows, c.Rows);
  EXPECT_TRUE(diffchecks::IsCompleteAlignment(rows, c.Left, c.Right, c.Options));
}

INSTANTIATE_TEST_SUITE_P(Alignment, AlignmentTest, testing::ValuesIn(kAlignments),
                         [](const testing::TestParamInfo<TAlignmentCase>& info) { return info.param.Name; });

// Change ranges count UTF-16 code units, so a character outside the basic plane counts twice.
TEST(Alignment, ChangeRangeCountsCodeUnits) {
  const TDiffItems rows = ComputeDiff({QStringLiteral("a\U0001F600b")}, {QStringLiteral("a\U0001F601b")}, {});
  ASSERT_EQ(rows.size(), 1);
  // The two emoji share their high surrogate, so only the low one differs.
  EXPECT_EQ(rows[0], Changed(0, 0, 2, 1, 1));
}

}  // namespace
