#include "i18n/format.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

struct TFormatCase {
  const char* Name;
  const char* Format;
  QVariantList Args;
  const char* Expected;
};

void PrintTo(const TFormatCase& c, std::ostream* os) { *os << c.Name; }

// Runs under a fixed locale, so that the decimal separator is known.
class FormatTextTest : public ::testing::TestWithParam<TFormatCase> {
protected:
  void SetUp() override { QLocale::setDefault(QLocale::c()); }
  void TearDown() override { QLocale::setDefault(FPrevious); }
  QLocale FPrevious;
};

TEST_P(FormatTextTest, FillsPlaceholdersInOrder) {
  const TFormatCase& c = GetParam();
  EXPECT_EQ(FormatText(QString::fromUtf8(c.Format), c.Args), QString::fromUtf8(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTextTest,
    ::testing::Values(
        TFormatCase{"Integers", "%d lines (left file) vs %d lines (right file).", {3, 4},
                    "3 lines (left file) vs 4 lines (right file)."},
        TFormatCase{"LargeAndNegative", "%d %d", {qlonglong(5000000000), -7}, "5000000000 -7"},
        TFormatCase{"String", "Left file saved as %s.", {QStringLiteral("UTF-8 with BOM")},
                    "Left file saved as UTF-8 with BOM."},
        TFormatCase{"StatisticsLine",
                    " Equal lines: %d of %d (%.1f%%). Different lines: %d.",
                    {2, 3, 200.0 / 3.0, 1},
                    " Equal lines: 2 of 3 (66.7%). Different lines: 1."},
        TFormatCase{"OneDecimalRoundsAndPads", "%.1f|%.1f|%.1f", {100.0, 0.04, 12345.66},
                    "100.0|0.0|12345.7"},
        TFormatCase{"FormFeed", "Control byte $%2.2x detected ? binary.", {0x0C},
                    "Control byte $0C detected ? binary."},
        TFormatCase{"HexUpperCase", "%2.2x %2.2x %2.2x", {0x1B, 0xFF, 0x1AB}, "1B FF 1AB"},
        TFormatCase{"Percent", "100%% done %%d", {}, "100% done %d"},
        TFormatCase{"MissingArgumentsKeepPlaceholders", "%d and %s and %.1f", {1},
                    "1 and %s and %.1f"},
        TFormatCase{"UnfittingArgumentKeepsItsPlaceholder", "%d/%s", {QStringLiteral("x"), QStringLiteral("y")},
                    "%d/y"},
        TFormatCase{"UnknownAndTrailingPercent", "%q %5d 50%", {1}, "%q %5d 50%"},
        TFormatCase{"ExtraArgumentsIgnored", "%s", {QStringLiteral("a"), QStringLiteral("b")}, "a"},
        TFormatCase{"ArgumentTextIsNotRescanned", "%s %d", {QStringLiteral("%d"), 5}, "%d 5"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FormatTextLocaleTest, OneDecimalUsesUserDecimalSeparator) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QString text = FormatText(QStringLiteral("(%.1f%%)"), {200.0 / 3.0});
  const QString large = FormatText(QStringLiteral("%.1f"), {12345.0});
  QLocale::setDefault(previous);
  EXPECT_EQ(text, QStringLiteral("(66,7%)"));
  EXPECT_EQ(large, QStringLiteral("12345,0"));  // no thousands separator
}

}  // namespace
