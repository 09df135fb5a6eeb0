#include "view/highlightranges.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <ostream>
#include <vector>

void PrintTo(const THighlightRange& r, std::ostream* os) { *os << "{" << r.Start << "," << r.Len << "}"; }

namespace {

using Ranges = std::vector<THighlightRange>;

Ranges ToVector(const THighlightRanges& r) { return Ranges(r.begin(), r.end()); }

// ---- Changed-word ranges -------------------------------------------------------------------

struct RangesCase {
  const char* Name;
  QString This;
  QString Other;
  bool IgnoreCase;
  Ranges Expected;
};

class ComputeHighlightRangesTest : public ::testing::TestWithParam<RangesCase> {};

TEST_P(ComputeHighlightRangesTest, MarksTheTokensTheOtherLineLacks) {
  const RangesCase& c = GetParam();
  EXPECT_EQ(ToVector(ComputeHighlightRanges(c.This, c.Other, c.IgnoreCase)), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ComputeHighlightRangesTest,
    ::testing::Values(
        RangesCase{"LastWordLeft", "foo bar", "foo baz", false, {{4, 3}}},
        RangesCase{"LastWordRight", "foo baz", "foo bar", false, {{4, 3}}},
        RangesCase{"TwoBlanksAgainstOne", "a  b", "a b", false, {{1, 2}}},
        RangesCase{"OneBlankAgainstTwo", "a b", "a  b", false, {{1, 1}}},
        RangesCase{"IgnoreCaseFoldsAscii", "Foo", "foo", true, {}},
        RangesCase{"CaseCountsWithoutIgnoreCase", "Foo", "foo", false, {{0, 3}}},
        RangesCase{"NonAsciiNeverFolded", QString::fromUtf8("\xC3\x84rger"), QString::fromUtf8("\xC3\xA4rger"), true, {{0, 5}}},
        RangesCase{"OneLetterMarksTheWholeWord", "abc", "abd", false, {{0, 3}}},
        RangesCase{"PunctuationLeft", "int a = b+c;", "int a = b - c;", false, {{9, 1}}},
        RangesCase{"PunctuationRight", "int a = b - c;", "int a = b+c;", false, {{9, 3}}},
        RangesCase{"TieLeftGivesUpItsOwnToken", "a b", "b a", false, {{1, 2}}},
        RangesCase{"TieRightGivesUpItsOwnToken", "b a", "a b", false, {{1, 2}}},
        RangesCase{"NeighbouringTokensMerged", "foo bar baz", "foo baz", false, {{3, 4}}},
        RangesCase{"EqualLines", "x = 1;", "x = 1;", false, {}},
        RangesCase{"EmptyThisLine", "", "abc", false, {}},
        RangesCase{"EmptyOtherLine", "ab cd", "", false, {{0, 5}}},
        RangesCase{"SurrogatePairIsPartOfTheWord", QString::fromUtf8("a\xF0\x9F\x98\x80 b"), "a b", false, {{0, 3}}},
        RangesCase{"ControlCharactersAreNonWord", "a\tb", "a b", false, {{1, 1}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SplitWordTokens, RunsOfOneClassGiveTheLineBack) {
  const QString line = QString::fromUtf8("x, y = f(\xC3\xA9t\xC3\xA9_1);");
  const TWordTokens t = SplitWordTokens(line);
  EXPECT_EQ(t.Texts, (QStringList{"x", ", ", "y", " = ", "f", "(", QString::fromUtf8("\xC3\xA9t\xC3\xA9_1"), ");"}));
  EXPECT_EQ(t.Starts, (QList<qint32>{0, 1, 3, 4, 7, 8, 9, 14}));
  EXPECT_EQ(t.Lengths, (QList<qint32>{1, 2, 1, 3, 1, 1, 5, 2}));
  EXPECT_EQ(t.Texts.join(QString()), line);
  EXPECT_TRUE(SplitWordTokens(u"").Texts.isEmpty());
}

// The walk-back over the full table, written out as plainly as possible: the matcher must give
// the same flags for every input below the bound.
TTokenMatches ReferenceMatch(const QStringList& a, const QStringList& b, bool ignoreCase) {
  auto equal = [&](const QString& x, const QString& y) {
    if (!ignoreCase) return x == y;
    if (x.size() != y.size()) return false;
    for (qsizetype k = 0; k < x.size(); ++k) {
      auto fold = [](QChar c) { return c >= u'a' && c <= u'z' ? QChar(c.unicode() - 32) : c; };
      if (fold(x[k]) != fold(y[k])) return false;
    }
    return true;
  };
  const qsizetype nA = a.size(), nB = b.size();
  std::vector<std::vector<int>> t(nA + 1, std::vector<int>(nB + 1, 0));
  for (qsizetype i = 1; i <= nA; ++i)
    for (qsizetype j = 1; j <= nB; ++j)
      t[i][j] = equal(a[i - 1], b[j - 1]) ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
  TTokenMatches m;
  m.ThisMatched.fill(false, nA);
  m.OtherMatched.fill(false, nB);
  for (qsizetype i = nA, j = nB; i > 0 && j > 0;) {
    if (equal(a[i - 1], b[j - 1])) {
      m.ThisMatched[--i] = true;
      m.OtherMatched[--j] = true;
    } else if (t[i - 1][j] < t[i][j - 1]) {
      --j;
    } else {
      --i;
    }
  }
  return m;
}

QStringList RandomTokens(QRandomGenerator& rng, int count) {
  static const QStringList alphabet{"a", "A", "b", "B", " ", ", ", "c", "_x"};
  QStringList tokens;
  for (int k = 0; k < count; ++k) tokens.append(alphabet[rng.bounded(int(alphabet.size()))]);
  return tokens;
}

TEST(MatchTokensLcs, SameFlagsAsTheFullTableWalkBack) {
  QRandomGenerator rng(20240611);
  for (int round = 0; round < 400; ++round) {
    const QStringList a = RandomTokens(rng, rng.bounded(0, 40));
    const QStringList b = RandomTokens(rng, rng.bounded(0, 40));
    const bool ignoreCase = round % 2 == 1;
    const TTokenMatches got = MatchTokensLcs(a, b, ignoreCase);
    const TTokenMatches want = ReferenceMatch(a, b, ignoreCase);
    ASSERT_EQ(got.ThisMatched, want.ThisMatched) << a.join('|').toStdString() << " / " << b.join('|').toStdString();
    ASSERT_EQ(got.OtherMatched, want.OtherMatched) << a.join('|').toStdString() << " / " << b.join('|').toStdString();
  }
}

// ---- The bound on the match table ----------------------------------------------------------

QStringList Tokens(int count, const QString& token) { return QStringList(count, token); }

TEST(MatchTokensLcs, MatchesUpToTheBoundAndNothingAboveIt) {
  // 1999 tokens on each side give exactly (1999 + 1)^2 = MaxHighlightTableCells cells.
  static_assert(MaxHighlightTableCells == 2000 * 2000);
  const TTokenMatches atBound = MatchTokensLcs(Tokens(1999, "x"), Tokens(1999, "x"), false);
  EXPECT_FALSE(atBound.ThisMatched.contains(false));
  EXPECT_FALSE(atBound.OtherMatched.contains(false));

  const TTokenMatches above = MatchTokensLcs(Tokens(2000, "x"), Tokens(1999, "x"), false);
  EXPECT_EQ(above.ThisMatched.size(), 2000);
  EXPECT_EQ(above.OtherMatched.size(), 1999);
  EXPECT_FALSE(above.ThisMatched.contains(true));
  EXPECT_FALSE(above.OtherMatched.contains(true));
}

TEST(ComputeHighlightRanges, VeryLongChangedLineIsMarkedWhole) {
  QString left, right;
  for (int k = 0; k < 50'000; ++k) left += QStringLiteral("ab, ");
  right = left;
  right[100] = u'Z';
  ASSERT_EQ(left.size(), 200'000);
  EXPECT_EQ(ToVector(ComputeHighlightRanges(left, right, false)), (Ranges{{0, 200'000}}));
  EXPECT_EQ(ToVector(ComputeHighlightRanges(right, left, true)), (Ranges{{0, 200'000}}));
}

// ---- Normalisation and clipping ------------------------------------------------------------

struct NormalizeCase {
  const char* Name;
  Ranges Input;
  Ranges Expected;
};

class NormalizeHighlightRangesTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeHighlightRangesTest, SortsAndMerges) {
  const NormalizeCase& c = GetParam();
  THighlightRanges ranges(c.Input.begin(), c.Input.end());
  NormalizeHighlightRanges(ranges);
  EXPECT_EQ(ToVector(ranges), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, NormalizeHighlightRangesTest,
    ::testing::Values(NormalizeCase{"Empty", {}, {}},
                      NormalizeCase{"EmptyAndNegativeLengthsDropped", {{3, 0}, {1, -2}, {7, 1}}, {{7, 1}}},
                      NormalizeCase{"SingleRangeKept", {{5, 2}}, {{5, 2}}},
                      NormalizeCase{"Unsorted", {{9, 1}, {0, 2}, {4, 1}}, {{0, 2}, {4, 1}, {9, 1}}},
                      NormalizeCase{"TouchingMerged", {{0, 2}, {2, 3}}, {{0, 5}}},
                      NormalizeCase{"OverlappingMerged", {{4, 4}, {0, 6}}, {{0, 8}}},
                      NormalizeCase{"ContainedSwallowed", {{0, 10}, {2, 3}}, {{0, 10}}},
                      NormalizeCase{"GapKept", {{0, 2}, {3, 1}}, {{0, 2}, {3, 1}}},
                      NormalizeCase{"SameStartLongerWins", {{5, 1}, {5, 4}, {20, 1}}, {{5, 4}, {20, 1}}},
                      NormalizeCase{"NoOverflowAtTheTop", {{0, 2147483647}, {10, 2147483647}}, {{0, 2147483647}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ClipRangeToSegment, KeepsThePartInsideTheSegment) {
  EXPECT_EQ(ClipRangeToSegment({2, 10}, 5, 8), (TClippedRange{5, 8}));
  EXPECT_EQ(ClipRangeToSegment({6, 1}, 5, 8), (TClippedRange{6, 7}));
  EXPECT_EQ(ClipRangeToSegment({0, 5}, 5, 8), std::nullopt);  // ends where the segment starts
  EXPECT_EQ(ClipRangeToSegment({8, 3}, 5, 8), std::nullopt);  // starts where the segment ends
  EXPECT_EQ(ClipRangeToSegment({1, 2147483647}, 5, 8), (TClippedRange{5, 8}));
}

// ---- Line fitting --------------------------------------------------------------------------

// Every character is 10 pixels wide.
int TenPixelsEach(QStringView text, int width) { return std::min<int>(int(text.size()), width / 10); }

struct FitCase {
  const char* Name;
  QString Text;
  int Start;
  int Width;
  std::optional<int> Expected;
};

class FitLineLengthTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitLineLengthTest, FitsTheNextLine) {
  const FitCase& c = GetParam();
  EXPECT_EQ(FitLineLength(c.Text, c.Start, c.Width, TenPixelsEach), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FitLineLengthTest,
    ::testing::Values(FitCase{"WordMovesToTheNextLineBlankStays", "foo bar", 0, 50, 4},
                      FitCase{"TabCountsAsBlank", "foo\tbar", 0, 50, 4},
                      FitCase{"WordWiderThanTheBoxIsCut", "foobarbaz", 0, 50, 5},
                      FitCase{"CutAtABlankBeginsTheNextLineWithIt", "foo bar", 0, 30, 3},
                      FitCase{"BlankBeforeTheCut", "foo bar", 0, 40, 4},
                      FitCase{"NearestBlankWins", "a b cdef", 0, 60, 4},
                      FitCase{"FromAStartOffset", "foo bar baz", 4, 50, 4},
                      FitCase{"NothingFitsTakesOneCharacter", "foo", 0, 5, 1},
                      FitCase{"NothingFitsKeepsASurrogatePairWhole", QString::fromUtf8("\xF0\x9F\x98\x80x"), 0, 5, 2},
                      FitCase{"RestFits", "foo bar", 4, 100, 3},
                      FitCase{"NoRestLeft", "foo", 3, 100, std::nullopt},
                      FitCase{"EmptyText", "", 0, 100, std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FitLineLength, CounterFailureFindsNoLine) {
  EXPECT_EQ(FitLineLength(u"foo", 0, 100, [](QStringView, int) { return -1; }), std::nullopt);
}

TEST(FitLineLength, CounterAnswerPastTheRestIsTheRest) {
  EXPECT_EQ(FitLineLength(u"foo bar", 4, 100, [](QStringView, int) { return 99; }), 3);
}

}  // namespace
