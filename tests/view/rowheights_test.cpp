#include "view/rowheights.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QRandomGenerator>
#include <algorithm>

namespace {

// The plain measurement: the toolkit's word wrap in a box of the given width.
int PlainHeight(const QFont& font, const QString& text, int boxWidth) {
  return QFontMetrics(font).boundingRect(QRect(0, 0, boxWidth, 1 << 24), Qt::TextWordWrap, text).height();
}

QFont Font(const char* family, int points) {
  QFont font(QString::fromLatin1(family));
  font.setPointSize(points);
  return font;
}

QStringList SampleTexts() {
  QStringList texts{
      "x",
      "int main() {",
      "    return compute(alpha, beta) + other_function(gamma, delta, epsilon);",
      "\tif (a && b) { c = d & e; }  // &amp;",
      "\t\t\tdeeply\tindented\ttabs",
      "averyveryveryverylongidentifierwithoutanyblankthatcannotbebrokenatall_at_all_at_all_at_all",
      "words then averyveryveryverylongidentifierwithoutanyblankthatcannotbebrokenatall end",
      "trailing blanks                                                                              ",
      "   ",
      "a-b-c-d-e-f-g-h-i-j-k-l-m-n-o-p-q-r-s-t-u-v-w-x-y-z-a-b-c-d-e-f-g-h-i-j-k-l-m-n-o-p",
      "path/to/some/file/that/is/rather/long/and/has/many/parts/in/it/really/many/parts.cpp",
      QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e, \xD0\xBC\xD0\xB8\xD1\x80 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80 caf\xC3\xA9"),
      QString::fromUtf8("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D world \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85"),
      "control\x01" "char",
  };
  QString longLine;
  for (int k = 0; k < 400; ++k) longLine += QStringLiteral("token%1, ").arg(k);
  texts << longLine << longLine.left(2000).replace(u' ', u'\t');
  return texts;
}

struct TFontCase {
  const char* Family;
  int Points;
};

class RowHeightMeasurerTest : public ::testing::TestWithParam<TFontCase> {
protected:
  QFont GridFont = Font(GetParam().Family, GetParam().Points);
};

// Box widths around the edge of each text's single-line width, and some ordinary ones.
QList<int> WidthsFor(const QFont& font, const QString& text) {
  const int single = qCeil(QFontMetricsF(font).horizontalAdvance(text));
  QList<int> widths{1, 4, 37, 100, 496, 569, 2000};
  for (int delta = -3; delta <= 3; ++delta) widths << std::max(1, single + delta);
  return widths;
}

TEST_P(RowHeightMeasurerTest, CellHeightIsThePlainMeasurement) {
  TRowHeightMeasurer measurer(GridFont);
  for (int pass = 0; pass < 2; ++pass) {  // the second pass answers from the cache
    for (const QString& text : SampleTexts())
      for (int width : WidthsFor(GridFont, text))
        ASSERT_EQ(measurer.CellHeight(text, width), PlainHeight(GridFont, text, width))
            << "width " << width << ": " << text.toStdString();
  }
}

TEST_P(RowHeightMeasurerTest, EveryLengthAroundTheBoxEdge) {
  TRowHeightMeasurer measurer(GridFont);
  const int width = 496;
  const QString letters = QStringLiteral("abcdefghij klmnopq-rstuvwxyz ");
  QString text;
  for (int length = 1; length <= 160; ++length) {
    text += letters[length % letters.size()];
    ASSERT_EQ(measurer.CellHeight(text, width), PlainHeight(GridFont, text, width)) << length;
  }
}

// Random lines of ASCII punctuation, blanks and tabs at random widths: the toolkit's break rules
// are at their most varied here.
TEST_P(RowHeightMeasurerTest, RandomAsciiLinesAtRandomWidths) {
  TRowHeightMeasurer measurer(GridFont);
  QRandomGenerator rng(42);
  const QString alphabet = QStringLiteral("aaaabbbcc   \t--//()[]{}<>\"'!?.,;:=+*&%$#@^~`|\\_0123456789AKVWxw");
  for (int round = 0; round < 6000; ++round) {
    QString text;
    for (int k = rng.bounded(1, 180); k > 0; --k) text += alphabet[rng.bounded(int(alphabet.size()))];
    const int width = rng.bounded(0, 700);
    ASSERT_EQ(measurer.CellHeight(text, width), PlainHeight(GridFont, text, width))
        << "width " << width << ": " << text.toStdString();
  }
}

TEST_P(RowHeightMeasurerTest, RowIsTheTallestCellAndNeverBelowTheBase) {
  TRowHeightMeasurer measurer(GridFont);
  const QFontMetrics metrics(GridFont);
  EXPECT_EQ(measurer.BaseRowHeight(), metrics.boundingRect(QStringLiteral("Wg")).height() + 4);
  const QString longText = SampleTexts()[2];
  EXPECT_EQ(measurer.RowHeight("", "", 300, 300), measurer.BaseRowHeight());
  EXPECT_EQ(measurer.RowHeight(longText, "", 60, 500), PlainHeight(GridFont, longText, 56) + 4);
  EXPECT_EQ(measurer.RowHeight("x", longText, 500, 60), PlainHeight(GridFont, longText, 56) + 4);
  EXPECT_EQ(measurer.RowHeight("x", "y", 500, 500), std::max(measurer.BaseRowHeight(), PlainHeight(GridFont, "x", 496) + 4));
}

INSTANTIATE_TEST_SUITE_P(Fonts, RowHeightMeasurerTest,
                         ::testing::Values(TFontCase{"Liberation Mono", 11}, TFontCase{"Courier New", 11},
                                           TFontCase{"Liberation Mono", 9}, TFontCase{"Liberation Mono", 14},
                                           TFontCase{"Liberation Mono", 20}, TFontCase{"Liberation Sans", 11},
                                           TFontCase{"Liberation Serif", 9}),
                         [](const auto& info) {
                           QString name = QStringLiteral("%1_%2").arg(info.param.Family).arg(info.param.Points);
                           return name.replace(u' ', u'_').toStdString();
                         });

// The shortcut for fixed-pitch fonts rests on this: a plain ASCII line is as wide as its
// character count times the advance.
TEST(FixedPitchFonts, AsciiLineWidthIsCountTimesAdvance) {
  for (const QFont& font : {Font("Liberation Mono", 11), Font("Courier New", 11), Font("Liberation Mono", 14)}) {
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(u'M');
    for (const QString& text : SampleTexts().mid(0, 10)) {
      QString shown = text;
      shown.replace(u'\t', u' ');
      EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(shown), shown.size() * advance) << text.toStdString();
    }
  }
}

}  // namespace
