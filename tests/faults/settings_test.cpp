// Damaged settings files through the window: out-of-range numbers, huge or negative lengths and
// counts, and a settings "file" that is no file. The window starts quietly, keeps what was read
// before the damage and compares and paints as usual.

#include "faults/faultsupport.h"
#include "faults/rowchecks.h"
#include "settings/settingsbytes.h"
#include "settings/settingswindowfixture.h"

#include <QComboBox>
#include <QtEndian>

#include <sys/stat.h>

namespace {

QByteArray Int32(qint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

QByteArray Utf16(const char* latin1) {
  QByteArray bytes;
  for (const char* c = latin1; *c; ++c) bytes.append(*c).append('\0');
  return bytes;
}

// The hand-built file of the record with the fields `first` to `last` replaced by `bytes`, and
// nothing after them when `cut` is set.
QByteArray WithFields(const TSettingsRecord& record, int first, int last, const QByteArray& bytes, bool cut) {
  const TSettingsBytes file = TSettingsBytes::Of(record);
  const qsizetype start = file.EndOf(first - 1);
  const qsizetype end = file.EndOf(last);
  return file.Bytes().left(start) + bytes + (cut ? QByteArray() : file.Bytes().mid(end));
}

class DamagedSettingsTest : public SettingsWindowTest {
protected:
  // After any start: no message, "Ready.", a window that fits the screen and a grid that compares
  // and paints.
  void ExpectAUsableWindow() {
    EXPECT_TRUE(Ui.Messages.isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
    EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
    const QFont font = Grid().font();
    EXPECT_GE(font.pointSize(), 1);
    EXPECT_LE(font.pointSize(), 400) << "a damaged size gives no unusable font";
    for (int col = 0; col <= 2; ++col) {
      EXPECT_GE(Grid().ColWidth(col), 0);
      EXPECT_LE(Grid().ColWidth(col), 100000) << "column " << col;
    }
    Settle();
    CompareTexts("same\nleft\n", "same\nright\n");
    Ui.Clear();
    ExpectRowsConsistent(*Window, true);
    Window->CenterOnRow(2);
    Grid().viewport()->repaint();
  }
};

struct TDamageCase {
  const char* Name;
  int First;
  int Last;
  QByteArray Bytes;
  bool Cut;
};

void PrintTo(const TDamageCase& c, std::ostream* os) { *os << c.Name; }

class DamagedFieldTest : public DamagedSettingsTest, public ::testing::WithParamInterface<TDamageCase> {};

// Lengths and counts past the file's end stop the reading at that field; negative ones read as
// empty; out-of-range measures are fitted to the screen.
TEST_P(DamagedFieldTest, StartsQuietlyAndStaysUsable) {
  TSettingsRecord stored = NonDefaultRecord();
  stored.FontSize = 12;
  RestartWith(WithFields(stored, GetParam().First, GetParam().Last, GetParam().Bytes, GetParam().Cut));
  const TSettingsRecord shown = Window->CurrentSettings();
  // The flags come before every damaged field here: they were read and applied.
  EXPECT_TRUE(shown.IgnoreCase && shown.IgnoreWhitespace && shown.IgnoreBlankLines);
  ExpectAUsableWindow();
}

constexpr qint32 kMax = 0x7FFFFFFF;
constexpr qint32 kMin = qint32(0x80000000u);

INSTANTIATE_TEST_SUITE_P(
    Fields, DamagedFieldTest,
    ::testing::Values(
        TDamageCase{"HugeFaceNameLength", 14, 14, Int32(kMax) + Utf16("De"), true},
        TDamageCase{"NegativeFaceNameLength", 14, 14, Int32(-5), false},
        TDamageCase{"HugeHistoryCount", 19, 20, Int32(kMax) + Int32(2) + Utf16("ab"), true},
        TDamageCase{"HugeHistoryCountThenNothing", 19, 20, Int32(kMax), true},
        TDamageCase{"MostNegativeHistoryCount", 19, 20, Int32(kMin), false},
        TDamageCase{"HistoryEntryLengthPastTheEnd", 19, 20, Int32(2) + Int32(1) + Utf16("a") + Int32(kMax - 1), true},
        TDamageCase{"HugeFontSize", 13, 13, Int32(kMax), false},
        TDamageCase{"NegativeFontSize", 13, 13, Int32(-12), false},
        TDamageCase{"HugeWindowWidth", 26, 26, Int32(kMax), false},
        TDamageCase{"NegativeWindowHeight", 27, 27, Int32(kMin), false},
        TDamageCase{"FarAwayWindowPosition", 24, 25, Int32(kMin) + Int32(kMax), false},
        TDamageCase{"HugeColumnWidth", 28, 28, Int32(kMax), false},
        TDamageCase{"NegativeColumnWidth", 29, 29, Int32(kMin), true}),
    [](const auto& info) { return std::string(info.param.Name); });

// A history far longer than the program ever writes: the boxes keep the 50 most recent paths.
TEST_F(DamagedSettingsTest, AnOverlongHistoryIsCutToItsLength) {
  TSettingsRecord stored = NonDefaultRecord();
  stored.LeftHistory.clear();
  for (int i = 0; i < 20000; ++i) stored.LeftHistory.append(QStringLiteral("/path/number/%1.txt").arg(i));
  RestartWith(TSettingsBytes::Of(stored).Bytes());
  const TSettingsRecord shown = Window->CurrentSettings();
  EXPECT_EQ(shown.LeftHistory.size(), 50);
  EXPECT_EQ(shown.LeftHistory.join('|').toStdString(), stored.LeftHistory.mid(0, 50).join('|').toStdString());
  EXPECT_EQ(shown.RightHistory.join('|').toStdString(), stored.RightHistory.join('|').toStdString())
      << "the fields after the history are read";
  EXPECT_EQ(shown.ColWidth2, stored.ColWidth2);
  ExpectAUsableWindow();
}

// A settings "file" that is a folder, or a pipe that nobody writes: defaults, and no wait.
TEST_F(DamagedSettingsTest, ASettingsPathThatIsNoFileGivesTheDefaults) {
  const TSettingsRecord defaults = Window->CurrentSettings();
  for (const char* kind : {"folder", "pipe"}) {
    SCOPED_TRACE(kind);
    Window.reset();
    QFile::remove(SettingsFile());
    if (QByteArray(kind) == "folder") ASSERT_TRUE(QDir().mkpath(SettingsFile()));
    else ASSERT_EQ(::mkfifo(QFile::encodeName(SettingsFile()).constData(), 0644), 0);
    const faults::TPipeReleaser releaser(SettingsFile(), 5000);
    QElapsedTimer clock;
    clock.start();
    MakeWindow();
    EXPECT_LT(clock.elapsed(), 4000) << "the window waited for a writer of the pipe";
    TSettingsRecord shown = Window->CurrentSettings();
    shown.WindowLeft = defaults.WindowLeft;
    shown.WindowTop = defaults.WindowTop;
    EXPECT_EQ(shown, defaults);
    ExpectAUsableWindow();
    Window.reset();  // the save fails quietly
    QDir(SettingsFile()).removeRecursively();
    QFile::remove(SettingsFile());
  }
}

}  // namespace
