// The settings file through the main window: a file built by hand is applied to a new window,
// a file cut anywhere starts the window quietly with the fields before the cut, destroying the
// window writes the file back, the histories reach it after a comparison, and it lives under
// APPDATA.

#include "settings/settingsbytes.h"
#include "settings/settingswindowfixture.h"
#include "support/testenv.h"

#include <QScreen>

namespace {

using WindowSettingsTest = SettingsWindowTest;

const QString NonLatin = QString::fromUtf8("\xD0\xA8\xD1\x80\xD0\xB8\xD1\x84\xD1\x82 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");

// A record with letters from outside Latin in its folders, its face name and its histories.
TSettingsRecord WorldRecord() {
  TSettingsRecord r = NonDefaultRecord();
  r.LeftOpenFolder = QStringLiteral("/data/") + NonLatin;
  r.FontName = NonLatin;
  r.LeftHistory.append(QStringLiteral("/l/") + NonLatin + QStringLiteral(".txt"));
  return r;
}

TEST_F(WindowSettingsTest, AHandBuiltFileIsAppliedToANewWindow) {
  TSettingsRecord stored = WorldRecord();
  stored.Version = 7;  // read like version 1
  RestartWith(TSettingsBytes::Of(stored, 0x7F).Bytes());

  EXPECT_TRUE(Ui.Messages.isEmpty());
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  const TSettingsRecord shown = Window->CurrentSettings();
  TSettingsRecord expected = stored;
  expected.Version = 1;
  expected.WindowLeft = shown.WindowLeft;  // the window opens centred on the stored monitor
  expected.WindowTop = shown.WindowTop;
  EXPECT_EQ(shown, expected);

  EXPECT_EQ(Grid().ColWidth(0), 0);
  EXPECT_FALSE(TfrmMainTestAccess::LineNumbersLabel(*Window)->isVisible());
  EXPECT_FALSE(Grid().HorizontalLines());
  EXPECT_EQ(Grid().font().family(), NonLatin);
  EXPECT_EQ(Grid().font().pointSize(), 14);
  EXPECT_EQ(Grid().ColWidth(1), 200);
  EXPECT_EQ(Grid().ColWidth(2), 300);
  EXPECT_EQ(Window->size(), QSize(640, 480));
  const QRect area = Window->screen()->availableGeometry();
  // Centred by its size alone: the frame is not known before the window is first shown.
  const QRect frame = Window->frameGeometry();
  const int margins = frame.width() - Window->width() + frame.height() - Window->height();
  EXPECT_LE((frame.center() - area.center()).manhattanLength(), margins + 2);
  QComboBox* left = TfrmMainTestAccess::LeftBox(*Window);
  ASSERT_EQ(left->count(), 3);
  EXPECT_EQ(left->itemText(2), stored.LeftHistory[2]);
  EXPECT_TRUE(left->currentText().isEmpty());
  EXPECT_EQ(TfrmMainTestAccess::RightBox(*Window)->count(), 1);

  Settle();
  EXPECT_EQ(left->x(), 10);
  // The options are the comparison's.
  CompareTexts("  A b\n", "a  B  \n");
  EXPECT_EQ(Window->DiffItems().value(0).Kind, dkEqual);
}

TEST_F(WindowSettingsTest, AMaximizedWindowOpensMaximizedWithoutTheStoredSize) {
  TSettingsRecord stored = NonDefaultRecord();
  stored.Maximized = true;
  stored.WindowWidth = 500;
  stored.WindowHeight = 400;
  RestartWith(TSettingsBytes::Of(stored).Bytes());
  EXPECT_TRUE(Window->isMaximized());
  EXPECT_NE(Window->size(), QSize(500, 400));
  EXPECT_NE(Window->normalGeometry().size(), QSize(500, 400));

  Window.reset();
  const TSettingsReadResult saved = ReadSettingsRecord(Read(SettingsFile()), TSettingsRecord());
  EXPECT_EQ(saved.FieldsRead, SettingsFieldCount);
  EXPECT_TRUE(saved.Record.Maximized);
}

TEST_F(WindowSettingsTest, AFileThatEndsAfterTheFlagsKeepsTheOtherDefaults) {
  RestartWith(std::nullopt);
  TSettingsRecord expected = Window->CurrentSettings();
  const QFont designed = Grid().font();

  const TSettingsBytes file = TSettingsBytes::Of(NonDefaultRecord());
  RestartWith(file.Bytes().left(file.EndOf(9)));
  expected.LeftOpenFolder = QStringLiteral("/data/left");
  expected.RightOpenFolder = QStringLiteral("/data/right");
  expected.IgnoreCase = expected.IgnoreWhitespace = expected.IgnoreWSAmount = expected.IgnoreLeadingWS =
      expected.IgnoreTrailingWS = expected.IgnoreBlankLines = true;
  EXPECT_EQ(Window->CurrentSettings(), expected);
  EXPECT_EQ(Grid().ColWidth(0), 100);
  EXPECT_TRUE(TfrmMainTestAccess::LineNumbersLabel(*Window)->isVisible());
  EXPECT_TRUE(Grid().HorizontalLines());
  EXPECT_EQ(Grid().font(), designed);
  EXPECT_TRUE(Ui.Messages.isEmpty());
}

TEST_F(WindowSettingsTest, AFileCutAtAnyByteStartsTheWindowQuietlyWithTheFieldsBeforeTheCut) {
  RestartWith(std::nullopt);
  const TSettingsRecord defaults = Window->CurrentSettings();
  const TSettingsBytes file = TSettingsBytes::Of(NonDefaultRecord());
  for (qsizetype cut = 0; cut <= file.Bytes().size() && !HasFailure(); ++cut) {
    SCOPED_TRACE(testing::Message() << "file cut after " << cut << " bytes");
    Ui.Clear();
    RestartWith(file.Bytes().left(cut));
    const TSettingsRecord shown = Window->CurrentSettings();
    TSettingsRecord expected = file.AppliedTo(defaults, cut);
    expected.WindowLeft = shown.WindowLeft;
    expected.WindowTop = shown.WindowTop;
    // Without stored widths the first layout halves the grid beside column 0.
    if (cut < file.EndOf(28)) expected.ColWidth1 = HalfOfTheGrid();
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(Grid().ColWidth(0), cut >= file.EndOf(10) ? 0 : 100);
    EXPECT_EQ(TfrmMainTestAccess::LineNumbersLabel(*Window)->isVisible(), cut < file.EndOf(10));
    EXPECT_TRUE(Ui.Messages.isEmpty());
    EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  }
}

TEST_F(WindowSettingsTest, DestroyingTheWindowWritesTheFileAndItRoundTrips) {
  const TSettingsRecord stored = WorldRecord();
  RestartWith(TSettingsBytes::Of(stored).Bytes());
  TSettingsRecord expected = stored;
  expected.WindowLeft = Window->pos().x();
  expected.WindowTop = Window->pos().y();
  Window->close();
  Window.reset();
  EXPECT_EQ(Read(SettingsFile()), TSettingsBytes::Of(expected).Bytes());

  // A window that found no file creates it.
  RestartWith(std::nullopt);
  ASSERT_FALSE(QFile::exists(SettingsFile()));
  const TSettingsRecord shown = Window->CurrentSettings();
  Window.reset();
  EXPECT_EQ(Read(SettingsFile()), TSettingsBytes::Of(shown).Bytes());
}

TEST_F(WindowSettingsTest, AFullHistoryTakesTheNewPathFromTheCompareButtonIntoTheFile) {
  TSettingsRecord stored;
  for (int i = 1; i <= 50; ++i) {
    stored.LeftHistory.append(QStringLiteral("/old/left-%1.txt").arg(i));
    stored.RightHistory.append(QStringLiteral("/old/right-%1.txt").arg(i));
  }
  RestartWith(TSettingsBytes::Of(stored).Bytes());
  const QString a = Write(QStringLiteral("new-left.txt"), "x\n");
  const QString b = Write(QStringLiteral("new-right.txt"), "y\n");
  Compare(a, b);

  QStringList left = stored.LeftHistory.mid(0, 49);
  left.prepend(a);
  QStringList right = stored.RightHistory.mid(0, 49);
  right.prepend(b);
  const TSettingsRecord shown = Window->CurrentSettings();
  EXPECT_EQ(shown.LeftHistory, left);
  EXPECT_EQ(shown.RightHistory, right);
  EXPECT_EQ(TfrmMainTestAccess::LeftBox(*Window)->currentText(), a);
  // The comparison saved the file at once.
  const TSettingsRecord saved = ReadSettingsRecord(Read(SettingsFile()), TSettingsRecord()).Record;
  EXPECT_EQ(saved.LeftHistory, left);
  EXPECT_EQ(saved.RightHistory, right);
}

TEST_F(WindowSettingsTest, TheFileLivesUnderAppDataWhoseMissingFoldersAreCreated) {
  EXPECT_EQ(TfrmMainTestAccess::SettingsFilePath(*Window), SettingsFile());
  EXPECT_TRUE(QFileInfo(SettingsFile()).absoluteDir().exists());

  const QString deep = Path(QStringLiteral("not/yet/there"));
  qputenv("APPDATA", deep.toLocal8Bit());
  RestartWith(std::nullopt);
  const QString path = deep + QStringLiteral("/Varnoque/settings.dt");
  EXPECT_EQ(TfrmMainTestAccess::SettingsFilePath(*Window), path);
  EXPECT_TRUE(QFileInfo(deep + QStringLiteral("/Varnoque")).isDir());
  Window.reset();
  EXPECT_TRUE(QFile::exists(path));

  // Without APPDATA the per-user configuration folder takes its part.
  qunsetenv("APPDATA");
  RestartWith(std::nullopt);
  EXPECT_EQ(TfrmMainTestAccess::SettingsFilePath(*Window), testenv::ConfigHome() + QStringLiteral("/Varnoque/settings.dt"));
}

}  // namespace
