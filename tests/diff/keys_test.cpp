// The key rule: which lines count as equal under which options, and the keys themselves.

#include "diff/diffchecks.h"

#include <gtest/gtest.h>

namespace {

struct TKeyPairCase {
  const char* Name;
  QString A, B;
  int Options;  // bits as in diffchecks::OptionsFromBits
  bool Equal;
  friend void PrintTo(const TKeyPairCase& c, std::ostream* os) { *os << c.Name; }
};

constexpr int kCase = 1, kAllWs = 2, kWsAmount = 4, kLeading = 8, kTrailing = 16, kBlank = 32;

const TKeyPairCase kKeyPairs[] = {
    {"ExactCaseMatters", "a", "A", 0, false},
    {"ExactTrailingSpaceMatters", "a", "a ", 0, false},
    {"ExactEmptyIsNotSpace", "", " ", 0, false},
    {"AmountRunsBecomeOneSpace", "a  \tb", "a b", kWsAmount, true},
    {"AmountKeepsLeadingRunAsSpace", " a", "a", kWsAmount, false},
    {"AmountTabEqualsSpace", " a", "\ta", kWsAmount, true},
    {"LeadingAndAmount", "  x  y", "x y", kLeading | kWsAmount, true},
    {"LeadingOnlyAtStart", "  x  y", "x y", kLeading, false},
    {"TrailingTabsAndSpaces", "a \t ", "a", kTrailing, true},
    {"TrailingKeepsCarriageReturn", "a\r", "a", kTrailing, false},
    {"AllWhiteSpaceRemoved", "a b", "ab", kAllWs, true},
    {"AllWhiteSpaceLineIsEmptyWithoutBlankOption", " \t ", "", kAllWs, true},
    {"AllWhiteSpaceWinsOverAmount", "a b", "ab", kAllWs | kWsAmount, true},
    {"AllWhiteSpaceKeepsFormFeed", "a\fb", "ab", kAllWs, false},
    {"LeadingKeepsNoBreakSpace", "\u00A0a", "a", kLeading, false},
    {"BlankEmptyAndSpace", "", " ", kBlank, true},
    {"BlankTabAndFormFeed", "\t", "\f", kBlank, true},
    {"BlankControlCharacters", "\x01\x1F", "", kBlank, true},
    {"BlankKeepsLeadingSpaceOfText", " a", "a", kBlank, false},
    {"BlankNoBreakSpaceIsText", "\u00A0", "", kBlank, false},
    {"CaseUnicodeLetters", "\u00C4BC", "\u00E4bc", kCase, true},
    {"CaseOneUnitAtATime", "STRASSE", "stra\u00DFe", kCase, false},
    {"CaseAfterAmount", "A  B", "a b", kCase | kWsAmount, true},
    {"CaseLeavesSurrogatesAlone", "\U00010400", "\U00010428", kCase, false},
};

class KeyPairTest : public testing::TestWithParam<TKeyPairCase> {};

TEST_P(KeyPairTest, LinesAreEqualExactlyWhenTheirKeysAre) {
  const TKeyPairCase& c = GetParam();
  const TDiffOptions options = diffchecks::OptionsFromBits(c.Options);
  EXPECT_EQ(NormalizeLine(c.A, options) == NormalizeLine(c.B, options), c.Equal);
  // The engine must agree with the keys: equal lines give one equal row, unequal ones a changed row.
  const TDiffItems rows = ComputeDiff({c.A}, {c.B}, options);
  ASSERT_EQ(rows.size(), 1);
  if (!(options.IgnoreBlankLines && (IsBlankLine(c.A) || IsBlankLine(c.B)))) {
    EXPECT_EQ(rows[0].Kind, c.Equal ? dkEqual : dkDifferent);
  }
}

INSTANTIATE_TEST_SUITE_P(KeyRule, KeyPairTest, testing::ValuesIn(kKeyPairs),
                         [](const testing::TestParamInfo<TKeyPairCase>& info) { return info.param.Name; });

struct TKeyCase {
  const char* Name;
  QString Line;
  int Options;
  QString Key;
  friend void PrintTo(const TKeyCase& c, std::ostream* os) { *os << c.Name; }
};

const TKeyCase kKeys[] = {
    {"Untouched", " a\tB ", 0, " a\tB "},
    {"AmountAtBothEnds", "\t a \t b\t", kWsAmount, " a b "},
    {"TrimmedThenAmount", "\t a \t b\t", kLeading | kTrailing | kWsAmount, "a b"},
    {"AllRemoved", "\t a \t b\t", kAllWs, "ab"},
    {"BlankBecomesEmpty", " \t\f", kBlank, ""},
    {"TextIsNotTrimmedByBlankOption", " a ", kBlank, " a "},
    {"LowerUnicodeLetters", "\u03A3\u00C9X", kCase, "\u03C3\u00E9x"},
    // Its full lower case has two characters; a one-unit mapping cannot change the length.
    {"LowerKeepsLength", "\u0130", kCase, "\u0130"},
    {"EverythingTogether", "  Foo\t\tBAR  ", kCase | kLeading | kTrailing | kWsAmount | kBlank, "foo bar"},
};

class KeyTest : public testing::TestWithParam<TKeyCase> {};

TEST_P(KeyTest, NormalizeLineGivesTheKey) {
  const TKeyCase& c = GetParam();
  EXPECT_EQ(NormalizeLine(c.Line, diffchecks::OptionsFromBits(c.Options)), c.Key);
}

INSTANTIATE_TEST_SUITE_P(KeyRule, KeyTest, testing::ValuesIn(kKeys),
                         [](const testing::TestParamInfo<TKeyCase>& info) { return info.param.Name; });

TEST(KeyRule, BlankMeansOnlyCodesUpToSpace) {
  for (const QString& blank : {QString(), QStringLiteral(" "), QStringLiteral("\t\r\n\f\x01")})
    EXPECT_TRUE(IsBlankLine(blank)) << blank.toStdString();
  for (const QString& text : {QStringLiteral("a"), QStringLiteral(" \u00A0"), QStringLiteral("\x7F")})
    EXPECT_FALSE(IsBlankLine(text)) << text.toStdString();
}

// Keys are ids inside the engine; more than 65,535 distinct lines must stay distinct.
TEST(KeyRule, ManyDistinctLinesKeepDistinctKeys) {
  QStringList left, right;
  for (int i = 0; i < 70000; ++i) left.append(QString::number(i));
  for (int i = 0; i < 70000; ++i) right.append(QString::number(i + 65536));
  const TDiffItems rows = ComputeDiff(left, right, {});
  EXPECT_EQ(diffchecks::CountKind(rows, dkEqual), 70000 - 65536);
  EXPECT_EQ(rows.front(), (TDiffItem{0, -1, dkLeftOnly, -1, 0, -1, 0}));
}

}  // namespace
