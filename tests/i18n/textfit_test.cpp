// In every shipped language, the fixed-size controls of the main window and of the settings
// dialog are wide enough for their texts.
#include "i18n/translations.h"
#include "settings/settingsdialog.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>

namespace {

int Right(const QWidget* control) { return control->x() + control->width(); }

// The control shows its whole text on one line and lies inside its parent.
void ExpectFits(const QWidget* control) {
  const std::string text = control->property("text").toString().toStdString();
  EXPECT_GE(control->width(), control->sizeHint().width()) << text;
  EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << text;
}

class TextFitTest : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    // Measured without the glyphs, Japanese texts would prove nothing.
    if (GetParam() == std::string("jp") && QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
      GTEST_SKIP() << "no font with Japanese glyphs is installed";
    qputenv("APPDATA", FDir.path().toLocal8Bit());
    Catalogue().Load(QCoreApplication::applicationDirPath() + QStringLiteral("/transl.dt"),
                     QString::fromLatin1(GetParam()));
    ASSERT_EQ(Catalogue().LanguageCode(Catalogue().CurrentLanguageIndex()), QString::fromLatin1(GetParam()));
  }
  void TearDown() override {
    Catalogue() = TTranslationCatalogue();
    qunsetenv("APPDATA");
  }

  QTemporaryDir FDir;
  TRecordingUserInterface FUi;
};

TEST_P(TextFitTest, SettingsDialogGrowsUntilEveryTextFits) {
  TfrmSettings d(FUi);
  d.show();
  QCoreApplication::processEvents();
  for (const QWidget* control : std::initializer_list<const QWidget*>{
           d.chkIgnoreCase, d.chkIgnoreWhitespace, d.chkIgnoreWSAmount, d.chkIgnoreTrailingWS,
           d.chkIgnoreLeadingWS, d.chkIgnoreBlankLines, d.chkShowLineNumbers, d.chkShowGridLines,
           d.btnChangeFont, d.Label2, d.Label3, d.Label4, d.Label5, d.Button1, d.Button2, d.Button3,
           d.GroupBox1, d.GroupBox2})
    ExpectFits(control);
  // Neighbours do not cover each other.
  EXPECT_LE(Right(d.chkShowLineNumbers), d.btnChangeFont->x());
  EXPECT_LE(Right(d.chkShowGridLines), d.btnChangeFont->x());
  EXPECT_LE(Right(d.Label5), d.btnColorDifferentTextInLine->x());
  EXPECT_LE(Right(d.GroupBox1), d.GroupBox2->x());
  EXPECT_LE(Right(d.Button3), d.Button1->x());
  EXPECT_LE(Right(d.Button1), d.Button2->x());
  // The designed size is the smallest.
  EXPECT_GE(d.width(), 610);
  EXPECT_EQ(d.height(), 270);
}

TEST_P(TextFitTest, MainWindowLabelsAndMenusFit) {
  TfrmMain window(FUi);
  window.show();
  QCoreApplication::processEvents();
  // Word-wrapped labels: neither a long word nor a further line may run out of the label.
  for (const QLabel* label : {TfrmMainTestAccess::LineNumbersLabel(window), TfrmMainTestAccess::HintLabel(window)}) {
    const QRect used = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap,
                                                         label->text());
    EXPECT_LE(used.width(), label->width()) << label->text().toStdString();
    EXPECT_LE(used.height(), label->height()) << label->text().toStdString();
  }
  EXPECT_LE(Right(TfrmMainTestAccess::LineNumbersLabel(window)), TfrmMainTestAccess::LeftBox(window)->x());
  const QMenuBar* bar = window.menuBar();
  EXPECT_LE(bar->actionGeometry(bar->actions().constLast()).right(), bar->width());
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, TextFitTest, ::testing::Values("en", "de", "fr", "es", "jp"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
