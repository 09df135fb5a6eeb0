#include "view/highlightpainter.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace {

const QColor Paper(Qt::white);
const QColor Ink(Qt::black);
const QColor Marker(255, 255, 0);

QFont GridFont() {
  QFont font("Liberation Mono");
  font.setPixelSize(15);
  return font;
}

QImage Blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(Qt::gray));
  return image;
}

// Paints one cell over the whole image.
QImage PaintCell(const QSize& size, const QString& text, const THighlightRanges& ranges) {
  QImage image = Blank(size.width(), size.height());
  QPainter painter(&image);
  painter.setFont(GridFont());
  PaintHighlightedCell(painter, image.rect(), text, ranges, Ink, Paper, Ink, Marker);
  return image;
}

// The rectangle holding every pixel of the given colour; empty when there is none.
QRect PixelsOf(const QImage& image, const QColor& colour) {
  QRect found;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) found |= QRect(x, y, 1, 1);
  return found;
}

bool HasInk(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) return true;
  return false;
}

class HighlightPainter : public ::testing::Test {
protected:
  QFontMetricsF Metrics{GridFont()};
  int Advance = qRound(Metrics.horizontalAdvance(u'M'));
  int LineHeight = QFontMetrics(GridFont()).height();
};

TEST_F(HighlightPainter, MarkerOnlyBehindTheHighlightedRun) {
  const QImage image = PaintCell(QSize(300, 40), "foo bar baz", {{4, 3}});
  // Text starts 2 pixels inside the cell; "bar" covers characters 4 to 6 of the first line.
  EXPECT_EQ(PixelsOf(image, Marker), QRect(2 + 4 * Advance, 2, 3 * Advance, LineHeight));
  EXPECT_TRUE(HasInk(image, QRect(2, 2, 3 * Advance, LineHeight)));  // the unmarked "foo"
}

TEST_F(HighlightPainter, WordMovedToTheNextLineCarriesItsMarker) {
  // Room for five characters: "foo " stays on the first line, "bar" starts the second.
  const QImage image = PaintCell(QSize(4 + 5 * Advance, 2 * LineHeight + 8), "foo bar", {{4, 3}});
  EXPECT_EQ(PixelsOf(image, Marker), QRect(2, 2 + LineHeight, 3 * Advance, LineHeight));
}

TEST_F(HighlightPainter, NoLineStartsAtOrBelowTheBottom) {
  // The text rectangle is exactly one line high: the second line is not started.
  const QImage image = PaintCell(QSize(4 + 3 * Advance, 4 + LineHeight), "aaa bbb", {{4, 3}});
  EXPECT_TRUE(PixelsOf(image, Marker).isEmpty());
}

TEST_F(HighlightPainter, TinyTextRectangleShowsOnlyTheBackground) {
  for (const QSize size : {QSize(6, 40), QSize(40, 6), QSize(4, 4)}) {
    const QImage image = PaintCell(size, "text", {{0, 4}});
    EXPECT_EQ(PixelsOf(image, Paper), image.rect()) << size.width() << "x" << size.height();
  }
}

TEST_F(HighlightPainter, EmptyTextShowsOnlyTheBackground) {
  const QImage image = PaintCell(QSize(100, 30), "", {{0, 4}});
  EXPECT_EQ(PixelsOf(image, Paper), image.rect());
}

// The toolkit's own single-line drawing without mnemonics or tab expansion, as the reference.
TEST_F(HighlightPainter, AmpersandAndTabAreDrawnAsPlainCharacters) {
  for (const QString& text : {QStringLiteral("a&b"), QStringLiteral("&&x&"), QStringLiteral("x\ty")}) {
    const QImage image = PaintCell(QSize(200, 30), text, {});
    QImage reference = Blank(200, 30);
    QPainter painter(&reference);
    painter.setFont(GridFont());
    painter.fillRect(reference.rect(), Paper);
    painter.setPen(Ink);
    painter.drawText(QRect(2, 2, 196, 26), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.end();
    EXPECT_EQ(image, reference) << text.toStdString();
  }
  const QImage ampersand = PaintCell(QSize(200, 30), "a&b", {});
  EXPECT_TRUE(HasInk(ampersand, QRect(2 + 2 * Advance, 2, Advance, LineHeight)));  // "b" in the third place
}

QString NumberedWords(int length) {
  QString text;
  for (int k = 0; text.size() < length; ++k) text += QStringLiteral("w%1 ").arg(k);
  return text.left(length);
}

// Paints a tall cell through a window of the image: the image shows rows [top, top + height)
// of the cell, optionally through a clip rectangle of the painter.
QImage PaintWindow(const QString& text, int cellHeight, int top, int height, const QRect& clip = QRect()) {
  QImage image = Blank(300, height);
  QPainter painter(&image);
  painter.setFont(GridFont());
  if (!clip.isNull()) painter.setClipRect(clip);
  painter.translate(0, -top);
  PaintHighlightedCell(painter, QRect(0, 0, 300, cellHeight), text, {{5, 40}, {3000, 9000}}, Ink, Paper, Ink, Marker);
  return image;
}

TEST_F(HighlightPainter, LinesOutsideTheVisibleAreaAreSkippedWithoutChangingWhatShows) {
  const QString text = NumberedWords(20'000);
  // Everything from the cell's top is visible here, so nothing above row 3100 is skipped.
  const QImage whole = PaintWindow(text, 100'000, 0, 3100);
  const QImage window = PaintWindow(text, 100'000, 3000, 100);
  EXPECT_EQ(window, whole.copy(0, 3000, 300, 100));
  const QImage clipped = PaintWindow(text, 100'000, 2900, 300, QRect(0, 100, 300, 100));
  EXPECT_EQ(clipped.copy(0, 100, 300, 100), window);
  EXPECT_TRUE(HasInk(window, window.rect()));
}

TEST_F(HighlightPainter, VeryLongLinePaintsItsVisiblePart) {
  const QString text = NumberedWords(200'000);
  const QImage window = PaintWindow(text, 1'000'000, 50'000, 100);
  const QImage larger = PaintWindow(text, 1'000'000, 49'900, 300);
  EXPECT_EQ(window, larger.copy(0, 100, 300, 100));
  EXPECT_TRUE(HasInk(window, window.rect()));
}

TEST(FitCharacterCount, CountsWhatFitsAndKeepsSurrogatePairsWhole) {
  const QFontMetricsF metrics(GridFont());
  const int advance = qRound(metrics.horizontalAdvance(u'M'));
  EXPECT_EQ(FitCharacterCount(metrics, u"abcdef", 3 * advance), 3);
  EXPECT_EQ(FitCharacterCount(metrics, u"abcdef", 3 * advance - 1), 2);
  EXPECT_EQ(FitCharacterCount(metrics, u"abc", 100 * advance), 3);
  EXPECT_EQ(FitCharacterCount(metrics, u"abc", 0), 0);
  const QString pairs = QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
  const int pairWidth = qCeil(metrics.horizontalAdvance(pairs.left(2)));
  EXPECT_EQ(FitCharacterCount(metrics, pairs, pairWidth) % 2, 0);
  EXPECT_EQ(FitCharacterCount(metrics, pairs, pairWidth - 1), 0);
}

}  // namespace
