#include "app/appicons.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// The names the tool bar, the speech bubble, the program icon and the update dialog ask for.
const char* const KPictureNames[] = {
    "search",
    "dropdown",
    "arrow-up",
    "arrow-down",
    "first",
    "last",
    "copy-to-right",
    "copy-to-left",
    "copy-all-to-right",
    "copy-all-to-left",
    "undo2",
    "save1",
    "save2",
    "settings",
    "question-mark",
    "bubble",
    "varnoque",
    "update-icon",
};

QImage Rendering(const QIcon& icon, QIcon::Mode mode) {
  return icon.pixmap(QSize(32, 32), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) >= 250;
  return count;
}

QSet<QRgb> Colours(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  return colours;
}

// How far the picture, laid on the button face, stands out from it at its strongest point.
int ContrastOnButtonFace(const QImage& image) {
  QImage onFace(image.size(), QImage::Format_ARGB32);
  const QColor face = QApplication::palette().color(QPalette::Button);
  onFace.fill(face);
  QPainter(&onFace).drawImage(0, 0, image);
  int strongest = 0;
  for (int y = 0; y < onFace.height(); ++y)
    for (int x = 0; x < onFace.width(); ++x)
      strongest = qMax(strongest, qAbs(qGray(onFace.pixel(x, y)) - qGray(face.rgb())));
  return strongest;
}

class AppIconPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(AppIconPicture, RendersAVisiblePictureAt32Pixels) {
  const QIcon icon = AppIcon(QString::fromLatin1(GetParam()));
  ASSERT_FALSE(icon.isNull());
  const QImage image = Rendering(icon, QIcon::Normal);
  ASSERT_EQ(image.size(), QSize(32, 32));
  EXPECT_GT(OpaquePixels(image), 20);
  EXPECT_GT(Colours(image).size(), 1);
}

TEST_P(AppIconPicture, StillStandsOutWhenGreyedOut) {
  const QIcon icon = AppIcon(QString::fromLatin1(GetParam()));
  EXPECT_GE(ContrastOnButtonFace(Rendering(icon, QIcon::Normal)), 100);
  EXPECT_GE(ContrastOnButtonFace(Rendering(icon, QIcon::Disabled)), 40);
}

TEST_P(AppIconPicture, OffersEveryRenderedSizeUnscaled) {
  const QIcon icon = AppIcon(QString::fromLatin1(GetParam()));
  const QList<QSize> sizes = icon.availableSizes();
  for (int size : {16, 24, 32, 48, 64}) {
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    EXPECT_EQ(icon.pixmap(QSize(size, size), 1.0).size(), QSize(size, size)) << size;
  }
  // A HiDPI screen gets its own rendering, not an enlarged smaller one.
  const QImage hiDpi = icon.pixmap(QSize(32, 32), 2.0).toImage();
  const QImage rendered64 = RenderAppIcon(QString::fromLatin1(GetParam()), 64);
  EXPECT_EQ(hiDpi.convertToFormat(rendered64.format()), rendered64);
}

INSTANTIATE_TEST_SUITE_P(AllNames, AppIconPicture, ::testing::ValuesIn(KPictureNames),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

TEST(AppIcon, ListsExactlyTheKnownNames) {
  QStringList expected;
  for (const char* name : KPictureNames) expected << QString::fromLatin1(name);
  EXPECT_EQ(AppIconNames(), expected);
}

TEST(AppIcon, UnknownNamesGiveAnEmptyIcon) {
  for (const char* name : {"", "no-such-picture", "Search", "search.svg", "../icons/search"})
    EXPECT_TRUE(AppIcon(QString::fromLatin1(name)).isNull()) << name;
  EXPECT_TRUE(RenderAppIcon(QStringLiteral("no-such-picture"), 32).isNull());
}

TEST(AppIcon, RepeatedRequestsShareOneCachedIcon) {
  const QString name = QStringLiteral("save1");
  EXPECT_EQ(AppIcon(name).cacheKey(), AppIcon(name).cacheKey());
}

TEST(AppIcon, SidePicturesDiffer) {
  // Saving the left and the right side, and copying in each direction, must not look alike.
  const auto differ = [](const char* a, const char* b) {
    return RenderAppIcon(QString::fromLatin1(a), 32) != RenderAppIcon(QString::fromLatin1(b), 32);
  };
  EXPECT_TRUE(differ("save1", "save2"));
  EXPECT_TRUE(differ("copy-to-right", "copy-to-left"));
  EXPECT_TRUE(differ("copy-to-right", "copy-all-to-right"));
}

TEST(RenderAppIcon, RejectsSizesBelowOnePixel) {
  EXPECT_TRUE(RenderAppIcon(QStringLiteral("search"), 0).isNull());
  EXPECT_EQ(RenderAppIcon(QStringLiteral("varnoque"), 256).size(), QSize(256, 256));
}

}  // namespace
