#include "update/versionpage.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const TVersionLine& v, std::ostream* os) {
  *os << v.Newest << "/" << v.Lowest << " shown as " << v.DisplayVersion.toStdString();
}

namespace {

struct TLineCase {
  const char* Name;
  QString Line;
  std::optional<TVersionLine> Expected;
};

class ParseVersionLineTest : public ::testing::TestWithParam<TLineCase> {};

TEST_P(ParseVersionLineTest, ReadsNewestAndLowest) {
  EXPECT_EQ(ParseVersionLine(GetParam().Line), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseVersionLineTest,
    ::testing::Values(TLineCase{"Current", "20/20", TVersionLine{20, 20, "2.0"}},
                      TLineCase{"Optional", "21/20", TVersionLine{21, 20, "2.1"}},
                      TLineCase{"Required", "21/21", TVersionLine{21, 21, "2.1"}},
                      TLineCase{"RequiredOlderNewest", "19/25", TVersionLine{19, 25, "1.9"}},
                      TLineCase{"ThreeDigits", "105/20", TVersionLine{105, 20, "10.5"}},
                      TLineCase{"OneDigit", "5/5", TVersionLine{5, 5, ".5"}},
                      TLineCase{"BlanksAroundBothParts", " 21 /\t20 ", TVersionLine{21, 20, "2.1"}},
                      TLineCase{"OnlyTheFirstSlashSplits", "21/20/19", std::nullopt},
                      TLineCase{"NoSlash", "21", std::nullopt},
                      TLineCase{"NotANumber", "2x/20", std::nullopt},
                      TLineCase{"EmptyNewest", "/20", std::nullopt},
                      TLineCase{"EmptyLowest", "21/", std::nullopt},
                      TLineCase{"BlanksOnly", "  /  ", std::nullopt},
                      TLineCase{"BlankInsideTheNumber", "2 1/20", std::nullopt},
                      TLineCase{"HexIsNotDecimal", "0x15/20", std::nullopt},
                      TLineCase{"TooLargeForInt", "99999999999/20", std::nullopt},
                      TLineCase{"NonAsciiDigits", QString::fromUtf8("\xD9\xA2\xD9\xA1/20"), std::nullopt},
                      TLineCase{"Empty", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPageCase {
  const char* Name;
  QByteArray Body;
  QStringList Lines;
};

class DecodePageLinesTest : public ::testing::TestWithParam<TPageCase> {};

TEST_P(DecodePageLinesTest, SplitsAtEveryKindOfBreak) {
  EXPECT_EQ(DecodePageLines(GetParam().Body), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DecodePageLinesTest,
    ::testing::Values(TPageCase{"Empty", "", {}},
                      TPageCase{"OneLineWithoutBreak", "21/20", {"21/20"}},
                      TPageCase{"FinalBreakAddsNoLine", "21/20\r\n", {"21/20"}},
                      TPageCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF" "21/20\nx", {"21/20", "x"}},
                      TPageCase{"OnlyAByteOrderMark", "\xEF\xBB\xBF", {}},
                      TPageCase{"CarriageReturnsOnly", "a\rb\r\rc", {"a", "b", "", "c"}},
                      TPageCase{"MixedBreaks", "a\r\nb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
                      TPageCase{"LineFeedThenCarriageReturnIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      TPageCase{"Utf8Text", "\xC3\xA9t\xC3\xA9\n", {QString::fromUtf8("\xC3\xA9t\xC3\xA9")}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RemoveEmptyLines, DropsOnlyLinesOfLengthZero) {
  EXPECT_EQ(RemoveEmptyLines({"", "Fixed a", "", "", "  ", "Added b", ""}), (QStringList{"Fixed a", "  ", "Added b"}));
  EXPECT_EQ(RemoveEmptyLines({}), QStringList());
}

}  // namespace
