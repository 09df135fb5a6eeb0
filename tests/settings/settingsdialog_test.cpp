// The settings dialog through the main window: what it shows, how it is filled, what Cancel,
// the close box, "Set Defaults" and OK do to the window, its grid and the comparison; and the
// dialog's own colour swatches and font chooser.

#include "settings/settingsbytes.h"
#include "settings/settingswindowfixture.h"

#include <QApplication>
#include <QGroupBox>

#include <ostream>

namespace {

using SettingsDialogTest = SettingsWindowTest;

TEST_F(SettingsDialogTest, ShowsItsControlsWithTheirTextsAndIsCreatedOnce) {
  OpenSettings([](TfrmSettings& frm) {
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.Tag(), 0);
    const std::pair<QString, const char*> texts[] = {
        {frm.windowTitle(), "Settings"},
        {frm.GroupBox1->title(), "Comparison"},
        {frm.chkIgnoreCase->text(), "Ignore case"},
        {frm.chkIgnoreWhitespace->text(), "Ignore all whitespaces "},
        {frm.chkIgnoreWSAmount->text(), "Ignore changes in amount of white space in line"},
        {frm.chkIgnoreTrailingWS->text(), "Ignore trailing white space"},
        {frm.chkIgnoreLeadingWS->text(), "Ignore leading white space"},
        {frm.chkIgnoreBlankLines->text(), "Ignore blank lines"},
        {frm.GroupBox2->title(), "Grid"},
        {frm.chkShowLineNumbers->text(), "Show Line Numbers"},
        {frm.chkShowGridLines->text(), "Show Grid Lines"},
        {frm.btnChangeFont->text(), "Change Font..."},
        {frm.Label2->text(), "Added Lines:"},
        {frm.Label3->text(), "Removed Lines:"},
        {frm.Label4->text(), "Changed Lines:"},
        {frm.Label5->text(), "Different text (bkgr):"},
        {frm.Button3->text(), "Set Defaults"},
        {frm.Button1->text(), "OK"},
        {frm.Button2->text(), "Cancel"},
    };
    for (const auto& [shown, english] : texts) EXPECT_EQ(shown, QString::fromUtf8(english));

    // Top to bottom: trailing white space stands above leading white space.
    const QCheckBox* order[] = {frm.chkIgnoreCase,       frm.chkIgnoreWhitespace, frm.chkIgnoreWSAmount,
                                frm.chkIgnoreTrailingWS, frm.chkIgnoreLeadingWS,  frm.chkIgnoreBlankLines};
    for (size_t i = 1; i < std::size(order); ++i) EXPECT_LT(order[i - 1]->y(), order[i]->y()) << i;

    // The designed 610 x 270 grows only as far as the texts need.
    EXPECT_GE(frm.width(), 610);
    EXPECT_GE(frm.height(), 270);
    EXPECT_EQ(frm.minimumSize(), frm.maximumSize());
    for (const TColorSwatch* swatch : {frm.btnColorAddedLines, frm.btnColorRemovedLines, frm.btnColorChangedLines,
                                       frm.btnColorDifferentTextInLine}) {
      EXPECT_EQ(swatch->size(), QSize(126, 22));
      EXPECT_EQ(swatch->cursor().shape(), Qt::PointingHandCursor);
    }
    frm.Button2Click();
  });
  QDialog* first = Shown;
  OpenSettings([](TfrmSettings& frm) { frm.Button2Click(); });
  EXPECT_EQ(Shown, first);
  EXPECT_EQ(&Window->SettingsDialog(), first);
  EXPECT_EQ(first->parentWidget(), Window.get());
}

TEST_F(SettingsDialogTest, EnterOnTheOkButtonDoesNotConfirm) {
  OpenSettings([](TfrmSettings& frm) {
    Click(frm.chkIgnoreCase);
    frm.Button1->setFocus();
    QTest::keyClick(frm.Button1, Qt::Key_Return);
    QTest::keyClick(frm.Button1, Qt::Key_Enter);
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.Tag(), 0);
  });
  EXPECT_FALSE(Window->CurrentSettings().IgnoreCase);
}

TEST_F(SettingsDialogTest, IsFilledWithTheDefaultsOfANewWindow) {
  TDialogValues values{};
  OpenSettings([&values](TfrmSettings& frm) {
    values = ValuesOf(frm);
    frm.Button2Click();
  });
  for (bool option : values.Options) EXPECT_FALSE(option);
  EXPECT_TRUE(values.LineNumbers);
  EXPECT_TRUE(values.GridLines);
  EXPECT_EQ(values.FontFace, QStringLiteral("Courier New"));
  EXPECT_EQ(values.FontSize, 11);
  EXPECT_EQ(values.FontColor, clWindowText);
  const TColorValue colours[] = {0x00FFF0E0, 0x00E0F0FF, 0x00E0E0FF, 0x0000FFFF};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(values.Colours[i], colours[i]) << i;
}

// Ways to leave the dialog without OK, after changing every control.
struct TLeaveCase {
  const char* Name;
  bool SetDefaultsFirst;
  std::function<void(TfrmSettings&)> Leave;
};

void PrintTo(const TLeaveCase& c, std::ostream* out) { *out << c.Name; }

class LeaveWithoutOkTest : public SettingsDialogTest, public ::testing::WithParamInterface<TLeaveCase> {};

TEST_P(LeaveWithoutOkTest, ChangesNothingAndTheNextOpeningShowsTheWindowAgain) {
  const TSettingsRecord stored = NonDefaultRecord();
  RestartWith(TSettingsBytes::Of(stored).Bytes());
  CompareTexts("a\nB\nc\n", "a\nb\nd\n");
  Settle();
  Ui.Clear();
  const TVisibleState before = VisibleState();

  Ui.FontAnswer = QFont(QStringLiteral("DejaVu Serif"), 20);
  for (int i = 0; i < 4; ++i) Ui.ColorAnswers.enqueue(QColor(i, 2 * i, 3 * i));
  int tag = -1;
  OpenSettings([&tag](TfrmSettings& frm) {
    for (QCheckBox* box : frm.findChildren<QCheckBox*>()) Click(box);
    for (TColorSwatch* swatch : frm.findChildren<TColorSwatch*>()) QTest::mouseClick(swatch, Qt::LeftButton);
    Click(frm.btnChangeFont);
    if (GetParam().SetDefaultsFirst) Click(frm.Button3);
    GetParam().Leave(frm);
    EXPECT_FALSE(frm.isVisible());
    tag = frm.Tag();
  });
  EXPECT_EQ(tag, 0);
  EXPECT_TRUE(Ui.ColorAnswers.isEmpty()) << "every swatch asked the chooser";
  EXPECT_EQ(VisibleState(), before);
  EXPECT_FALSE(Window->RecomputationInProgress());
  EXPECT_TRUE(Ui.Messages.isEmpty());

  TDialogValues values{};
  OpenSettings([&values](TfrmSettings& frm) {
    values = ValuesOf(frm);
    frm.Button2Click();
  });
  for (bool option : values.Options) EXPECT_TRUE(option);
  EXPECT_FALSE(values.LineNumbers);
  EXPECT_FALSE(values.GridLines);
  EXPECT_EQ(values.FontFace, stored.FontName);
  EXPECT_EQ(values.FontSize, stored.FontSize);
  EXPECT_EQ(values.FontColor, TColorValue(stored.FontColor));
  const qint32 colours[] = {stored.ColorAddedLines, stored.ColorRemovedLines, stored.ColorChangedLines,
                            stored.ColorDifferentTextInLine};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(values.Colours[i], TColorValue(colours[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LeaveWithoutOkTest,
    ::testing::Values(TLeaveCase{"CancelButton", false, [](TfrmSettings& frm) { Click(frm.Button2); }},
                      TLeaveCase{"CloseBox", false, [](TfrmSettings& frm) { frm.close(); }},
                      TLeaveCase{"EscapeKey", false, [](TfrmSettings& frm) { QTest::keyClick(&frm, Qt::Key_Escape); }},
                      TLeaveCase{"SetDefaultsThenCancel", true, [](TfrmSettings& frm) { Click(frm.Button2); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SettingsDialogTest, SetDefaultsThenOkRestoresEveryDefaultAndRecomputes) {
  RestartWith(TSettingsBytes::Of(NonDefaultRecord()).Bytes());
  CompareTexts("A\nb\n", "a\nb\n");
  ASSERT_EQ(Window->DiffItems().value(0).Kind, dkEqual);
  Ui.SaveAnswers.enqueue(Path(QStringLiteral("saved.txt")));
  Window->RunCommand([this] { Window->btnSaveLeftClick(); });
  ASSERT_EQ(Window->StatusText(), QStringLiteral("Left file saved as ANSI/ASCII."));
  Ui.Clear();
  const TSettingsRecord before = Window->CurrentSettings();

  OpenSettings([&](TfrmSettings& frm) {
    Click(frm.Button3);
    EXPECT_EQ(Window->CurrentSettings(), before) << "nothing reaches the window before OK";
    Click(frm.Button1);
  });

  const TSettingsRecord r = Window->CurrentSettings();
  for (bool option : {r.IgnoreCase, r.IgnoreWhitespace, r.IgnoreWSAmount, r.IgnoreLeadingWS, r.IgnoreTrailingWS,
                      r.IgnoreBlankLines})
    EXPECT_FALSE(option);
  EXPECT_EQ(Grid().ColWidth(0), 120);
  EXPECT_TRUE(TfrmMainTestAccess::LineNumbersLabel(*Window)->isVisible());
  EXPECT_TRUE(Grid().HorizontalLines());
  EXPECT_EQ(Grid().font().family(), QStringLiteral("Courier New"));
  EXPECT_EQ(Grid().font().pointSize(), 11);
  EXPECT_FALSE(Grid().font().bold());
  EXPECT_EQ(r.FontColor, qint32(clWindowText));
  EXPECT_EQ(r.ColorAddedLines, 0x00FFF0E0);
  EXPECT_EQ(r.ColorRemovedLines, 0x00E0F0FF);
  EXPECT_EQ(r.ColorChangedLines, 0x00E0E0FF);
  EXPECT_EQ(r.ColorDifferentTextInLine, 0x0000FFFF);
  EXPECT_EQ(Grid().ColWidth(1), HalfOfTheGrid());

  // The status line is written at once, before the rows come back, and then with the new rows.
  EXPECT_TRUE(Window->StatusText().startsWith(QLatin1String("2 lines (left file) vs 2 lines (right file).")))
      << Window->StatusText().toStdString();
  WaitForRows();
  EXPECT_EQ(Window->DiffItems().value(0).Kind, dkDifferent);
  EXPECT_EQ(Window->StatusText(), QStringLiteral("2 lines (left file) vs 2 lines (right file). "
                                                 "Equal lines: 1 of 2 (50.0%). Different lines: 1."));
  EXPECT_TRUE(Ui.Messages.isEmpty()) << "no summary box";
}

TEST_F(SettingsDialogTest, ABoldFontFromTheChooserIsTakenOverWithoutBold) {
  CompareTexts("some text\n", "other text\n");
  Ui.FontAnswer = QFont(QStringLiteral("DejaVu Sans"), 30, QFont::Bold, true);
  OpenSettings([](TfrmSettings& frm) {
    Click(frm.btnChangeFont);
    Click(frm.Button1);
  });
  const QFont font = Grid().font();
  EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(font.pointSize(), 30);
  EXPECT_FALSE(font.bold());
  EXPECT_FALSE(font.italic());
  EXPECT_EQ(Window->CurrentSettings().FontSize, 30);
  // The rows are measured in the new font; the base height stays that of the designed font.
  EXPECT_GT(Grid().RowHeight(1), Window->BaseRowHeight());
}

TEST_F(SettingsDialogTest, LineNumbersOffAndOnAgain) {
  CompareTexts("a\n", "b\n");
  ASSERT_EQ(Grid().ColWidth(0), 100);
  QLabel* label = TfrmMainTestAccess::LineNumbersLabel(*Window);
  ASSERT_EQ(label->text(), QStringLiteral("Files or Folders:"));
  OpenSettings([](TfrmSettings& frm) {
    Click(frm.chkShowLineNumbers);
    Click(frm.Button1);
  });
  EXPECT_EQ(Grid().ColWidth(0), 0);
  EXPECT_FALSE(label->isVisible());
  Settle();
  EXPECT_EQ(TfrmMainTestAccess::LeftBox(*Window)->x(), 10);

  bool shownAsOn = true;
  OpenSettings([&shownAsOn](TfrmSettings& frm) {
    shownAsOn = frm.chkShowLineNumbers->isChecked();
    Click(frm.chkShowLineNumbers);
    Click(frm.Button1);
  });
  EXPECT_FALSE(shownAsOn);
  EXPECT_EQ(Grid().ColWidth(0), 120);
  EXPECT_TRUE(label->isVisible());
  Settle();
  EXPECT_EQ(TfrmMainTestAccess::LeftBox(*Window)->x(), 130);
}

TEST_F(SettingsDialogTest, InFolderModeTheSettingsApplyWithoutRecomputation) {
  Write(QStringLiteral("l/a.txt"), "x");
  Write(QStringLiteral("r/a.txt"), "y");
  Compare(Path(QStringLiteral("l")), Path(QStringLiteral("r")));
  ASSERT_TRUE(Window->FolderMode());
  Ui.Clear();
  const TVisibleState before = VisibleState();

  Ui.ColorAnswers.enqueue(QColor(1, 2, 3));
  Ui.FontAnswer = QFont(QStringLiteral("DejaVu Sans"), 13);
  OpenSettings([](TfrmSettings& frm) {
    Click(frm.chkIgnoreCase);
    Click(frm.chkShowLineNumbers);
    Click(frm.chkShowGridLines);
    QTest::mouseClick(frm.btnColorChangedLines, Qt::LeftButton);
    Click(frm.btnChangeFont);
    Click(frm.Button1);
  });

  EXPECT_FALSE(Window->RecomputationInProgress());
  EXPECT_TRUE(Window->FolderMode());
  EXPECT_EQ(Window->StatusText(), before.Status);
  EXPECT_EQ(GridTexts(1), before.Left);
  EXPECT_EQ(GridTexts(2), before.Right);
  EXPECT_TRUE(Ui.Messages.isEmpty());
  const TSettingsRecord r = Window->CurrentSettings();
  EXPECT_TRUE(r.IgnoreCase);
  EXPECT_EQ(r.ColorChangedLines, 0x00030201);
  EXPECT_EQ(Grid().ColWidth(0), 0);
  EXPECT_FALSE(TfrmMainTestAccess::LineNumbersLabel(*Window)->isVisible());
  EXPECT_FALSE(Grid().HorizontalLines());
  EXPECT_EQ(Grid().font().family(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(Grid().font().pointSize(), 13);
}

TEST_F(SettingsDialogTest, WithNothingLoadedTheStatusReportsNoComparableLines) {
  Ui.Clear();
  OpenSettings([](TfrmSettings& frm) { Click(frm.Button1); });
  const QString noLines = QStringLiteral("0 lines (left file) vs 0 lines (right file). No comparable lines.");
  EXPECT_EQ(Window->StatusText(), noLines);
  WaitForRows();
  EXPECT_EQ(Window->StatusText(), noLines);
  EXPECT_TRUE(Window->DiffItems().isEmpty());
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_TRUE(TfrmMainTestAccess::GettingStarted(*Window)->isVisible());
  EXPECT_TRUE(Ui.Messages.isEmpty());
}

// One option box ticked in the dialog makes two sides equal that differ only in what it ignores.
struct TOptionCase {
  const char* Name;
  QCheckBox* TfrmSettings::*Box;
  QByteArray Left;
  QByteArray Right;
};

void PrintTo(const TOptionCase& c, std::ostream* out) { *out << c.Name; }

class NewOptionsTest : public SettingsDialogTest, public ::testing::WithParamInterface<TOptionCase> {};

TEST_P(NewOptionsTest, RecomputeTheRows) {
  const TOptionCase& c = GetParam();
  CompareTexts(c.Left, c.Right);
  const auto allEqual = [this] {
    return std::all_of(Window->DiffItems().begin(), Window->DiffItems().end(),
                       [](const TDiffItem& item) { return item.Kind == dkEqual; });
  };
  ASSERT_FALSE(allEqual());
  OpenSettings([&c](TfrmSettings& frm) {
    Click(frm.*c.Box);
    Click(frm.Button1);
  });
  WaitForRows();
  EXPECT_TRUE(allEqual());
  EXPECT_EQ(Grid().RowCount(), Window->DiffItems().size() + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Options, NewOptionsTest,
    ::testing::Values(TOptionCase{"Case", &TfrmSettings::chkIgnoreCase, "x\nAbc\n", "x\naBC\n"},
                      TOptionCase{"AllWhiteSpace", &TfrmSettings::chkIgnoreWhitespace, "a b\n", "ab\n"},
                      TOptionCase{"AmountOfWhiteSpace", &TfrmSettings::chkIgnoreWSAmount, "a  b\n", "a b\n"},
                      TOptionCase{"LeadingWhiteSpace", &TfrmSettings::chkIgnoreLeadingWS, "  a\n", "a\n"},
                      TOptionCase{"TrailingWhiteSpace", &TfrmSettings::chkIgnoreTrailingWS, "a  \n", "a\n"},
                      TOptionCase{"BlankLines", &TfrmSettings::chkIgnoreBlankLines, "a\n\nb\n", "a\nb\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

// The dialog on its own, with choosers that remember how they were preset.
class TChooserUi : public TRecordingUserInterface {
public:
  bool ChooseFont(QFont& font, QColor& colour) override {
    FontPresets.append({font, colour});
    if (!FontAnswer) return false;
    font = *FontAnswer;
    if (FontColourAnswer.isValid()) colour = FontColourAnswer;
    return true;
  }
  bool ChooseColor(QColor& colour) override {
    ColorPresets.append(colour);
    return TRecordingUserInterface::ChooseColor(colour);
  }

  QList<std::pair<QFont, QColor>> FontPresets;
  QColor FontColourAnswer;
  QList<QColor> ColorPresets;
};

struct TSwatchCase {
  const char* Name;
  TColorSwatch* TfrmSettings::*Swatch;
  Qt::MouseButton Button;
};

void PrintTo(const TSwatchCase& c, std::ostream* out) { *out << c.Name; }

class SwatchTest : public ::testing::TestWithParam<TSwatchCase> {};

TEST_P(SwatchTest, AReleaseOpensTheChooserPresetWithTheSwatchColour) {
  TChooserUi ui;
  TfrmSettings frm(ui);
  frm.show();
  TColorSwatch* swatch = frm.*GetParam().Swatch;
  for (TColorSwatch* any : frm.findChildren<TColorSwatch*>()) any->SetValue(0x00010101);
  swatch->SetValue(0x00112233);

  ui.ColorAnswers.enqueue(QColor(10, 20, 30));
  QTest::mouseClick(swatch, GetParam().Button);
  ASSERT_EQ(ui.ColorPresets.size(), 1);
  EXPECT_EQ(ui.ColorPresets[0], QColor(0x33, 0x22, 0x11));
  EXPECT_EQ(swatch->Value(), 0x001E140Au);
  for (TColorSwatch* other : frm.findChildren<TColorSwatch*>()) {
    if (other == swatch) continue;
    EXPECT_EQ(other->Value(), 0x00010101u);
  }

  QTest::mouseClick(swatch, GetParam().Button);  // cancelled
  EXPECT_EQ(ui.ColorPresets.size(), 2);
  EXPECT_EQ(swatch->Value(), 0x001E140Au);
}

INSTANTIATE_TEST_SUITE_P(
    Swatches, SwatchTest,
    ::testing::Values(TSwatchCase{"AddedLeftButton", &TfrmSettings::btnColorAddedLines, Qt::LeftButton},
                      TSwatchCase{"RemovedRightButton", &TfrmSettings::btnColorRemovedLines, Qt::RightButton},
                      TSwatchCase{"ChangedLeftButton", &TfrmSettings::btnColorChangedLines, Qt::LeftButton},
                      TSwatchCase{"DifferentTextMiddleButton", &TfrmSettings::btnColorDifferentTextInLine,
                                  Qt::MiddleButton}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SettingsDialogOnItsOwn, TheFontChooserTakesFaceSizeAndColourAndACancelKeepsThem) {
  TChooserUi ui;
  TfrmSettings frm(ui);
  frm.show();
  frm.FontDialog1Font = QFont(QStringLiteral("Courier New"), 11);
  frm.FontDialog1Color = clWindowText;

  ui.FontAnswer = QFont(QStringLiteral("DejaVu Serif"), 16, QFont::Bold);
  ui.FontColourAnswer = QColor(200, 0, 0);
  QTest::mouseClick(frm.btnChangeFont, Qt::LeftButton);
  ASSERT_EQ(ui.FontPresets.size(), 1);
  EXPECT_EQ(ui.FontPresets[0].first.family(), QStringLiteral("Courier New"));
  EXPECT_EQ(ui.FontPresets[0].first.pointSize(), 11);
  EXPECT_EQ(ui.FontPresets[0].second, ColorFromValue(clWindowText, frm.palette()));
  EXPECT_EQ(frm.FontDialog1Font.family(), QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(frm.FontDialog1Font.pointSize(), 16);
  EXPECT_EQ(frm.FontDialog1Color, 0x000000C8u);

  ui.FontAnswer.reset();
  QTest::mouseClick(frm.btnChangeFont, Qt::LeftButton);
  EXPECT_EQ(ui.FontPresets.size(), 2);
  EXPECT_EQ(ui.FontPresets[1].second, QColor(200, 0, 0));
  EXPECT_EQ(frm.FontDialog1Font.family(), QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(frm.FontDialog1Color, 0x000000C8u);
}

TEST(SettingsDialogOnItsOwn, SetDefaultsGoesBackToTheWindowsRememberedFontSize) {
  TChooserUi ui;
  TfrmSettings frm(ui);
  frm.SetDefaultFontSize(13);
  for (QCheckBox* box : frm.findChildren<QCheckBox*>()) box->setChecked(true);
  frm.chkShowLineNumbers->setChecked(false);
  frm.chkShowGridLines->setChecked(false);
  frm.FontDialog1Font = QFont(QStringLiteral("DejaVu Sans"), 20);
  frm.FontDialog1Color = 0x00123456;
  frm.Button3Click();
  EXPECT_EQ(frm.FontDialog1Font.family(), QStringLiteral("Courier New"));
  EXPECT_EQ(frm.FontDialog1Font.pointSize(), 13);
  EXPECT_EQ(frm.FontDialog1Color, clWindowText);
  EXPECT_TRUE(frm.chkShowLineNumbers->isChecked());
  EXPECT_TRUE(frm.chkShowGridLines->isChecked());
  for (const QCheckBox* option : {frm.chkIgnoreCase, frm.chkIgnoreWhitespace, frm.chkIgnoreWSAmount,
                                  frm.chkIgnoreTrailingWS, frm.chkIgnoreLeadingWS, frm.chkIgnoreBlankLines})
    EXPECT_FALSE(option->isChecked());
}

}  // namespace
