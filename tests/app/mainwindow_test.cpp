// The main window end to end: comparing two text files from the path boxes, the automatic
// choice, the histories, the confirmations, navigation, saving and the grid's rows.

#include "support/windowfixture.h"

#include <QLocale>
#include <QScrollBar>

#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class MainWindowTest : public WindowTest {
protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English));
    qputenv("VARNOQUE_TIKA_URL", "http://127.0.0.1:9/tika");
    WindowTest::SetUp();
  }
};

TEST_F(MainWindowTest, StartsWithTheGettingStartedPanelAndTheComparisonCommandsOff) {
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("Varnoque 2.0"));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  EXPECT_TRUE(TfrmMainTestAccess::GettingStarted(*Window)->isVisible());
  EXPECT_EQ(Grid().height(), 1);  // collapsed under the panel
  EXPECT_FALSE(TfrmMainTestAccess::Button(*Window, "btnUndo")->isEnabled());
  EXPECT_FALSE(TfrmMainTestAccess::Button(*Window, "btnNextDiff")->isEnabled());
  EXPECT_TRUE(TfrmMainTestAccess::Button(*Window, "btnCompare")->isEnabled());
  EXPECT_FALSE(TfrmMainTestAccess::MenuEntry(*Window, "mmEditSelected")->isEnabled());
  EXPECT_EQ(TfrmMainTestAccess::MenuEntry(*Window, "mmNextDiff")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
}

TEST_F(MainWindowTest, ComparesTwoFilesEndToEnd) {
  CompareTexts("one\ntwo\nthree\n", "one\n2\nthree\nfour\n");
  EXPECT_FALSE(TfrmMainTestAccess::GettingStarted(*Window)->isVisible());
  EXPECT_GT(Grid().height(), 100);
  EXPECT_EQ(GridTexts(0), QStringList({"1", "2", "3", "4"}));
  EXPECT_EQ(GridTexts(1), QStringList({"one", "two", "three", ""}));
  EXPECT_EQ(GridTexts(2), QStringList({"one", "2", "three", "four"}));
  EXPECT_EQ(Window->DiffItems()[1].Kind, dkDifferent);
  EXPECT_EQ(Window->StatusText(), QStringLiteral("3 lines (left file) vs 4 lines (right file). "
                                                 "Equal lines: 2 of 4 (50.0%). Different lines: 2."));
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_EQ(Ui.Messages[0].Kind, mkInformation);
  EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("Compared:\r\n3 lines (left file) vs 4 lines (right file).\r\n"
                                                "Equal lines: 2 of 4 (50.0%).\r\nDifferent lines: 2."));
  EXPECT_TRUE(TfrmMainTestAccess::Button(*Window, "btnUndo")->isEnabled());
  EXPECT_TRUE(TfrmMainTestAccess::MenuEntry(*Window, "mmEditSelected")->isEnabled());
  EXPECT_EQ(Ui.LastPointer(), crDefault);
}

TEST_F(MainWindowTest, IdenticalFilesSayItBeforeTheSummary) {
  CompareTexts("a\nb\n", "a\r\nb");
  ASSERT_EQ(Ui.Messages.size(), 2);
  EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("The files are identical."));
  EXPECT_TRUE(Ui.Messages[1].Text.startsWith(QLatin1String("Compared:")));
}

TEST_F(MainWindowTest, TwoEmptyFilesHaveNoComparableLines) {
  CompareTexts("", "");
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"The files are identical."}));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("0 lines (left file) vs 0 lines (right file). No comparable lines."));
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(Ui.LastPointer(), crDefault);
}

TEST_F(MainWindowTest, TheAutomaticModeRoutesByPathAndContent) {
  Write(QStringLiteral("l/a.txt"), "x");
  Write(QStringLiteral("r/a.txt"), "x");
  Compare(Path(QStringLiteral("l")), Path(QStringLiteral("r")));
  EXPECT_TRUE(Window->FolderMode());
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"The folders are identical (no different files)."}));

  Ui.Clear();
  Compare(Path(QStringLiteral("l")), Path(QStringLiteral("l/a.txt")));
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Both paths must be folders for folder comparison."}));
  EXPECT_EQ(Ui.Messages[0].Kind, mkError);

  // Two listed extensions go to the documents, whatever the files hold.
  Ui.Clear();
  Compare(Write(QStringLiteral("a.bin"), "text"), Write(QStringLiteral("b.bin"), "text"));
  EXPECT_FALSE(Window->FolderMode());
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_EQ(Ui.Messages[0].Kind, mkWarning);
  EXPECT_TRUE(Ui.Messages[0].Text.startsWith(QLatin1String("Comparison failed.\r\nLeft: Error: ")));

  // Binary content on one side goes to the documents too; text goes to the text comparison.
  Ui.Clear();
  Compare(Write(QStringLiteral("c.txt"), QByteArray("\0\1", 2)), Write(QStringLiteral("d.txt"), "text"));
  EXPECT_TRUE(Ui.Messages.value(0).Text.startsWith(QLatin1String("Comparison failed.")));
  Ui.Clear();
  Compare(Write(QStringLiteral("a.bin"), "text"), Write(QStringLiteral("d.txt"), "text"));
  EXPECT_EQ(Ui.Messages.value(0).Text, QStringLiteral("The files are identical."));
}

TEST_F(MainWindowTest, EmptyPathBoxesAreRefused) {
  Compare(QStringLiteral("  "), Write(QStringLiteral("a.txt"), "x"));
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Please select both left and right files or folders."}));
  EXPECT_EQ(Ui.Messages[0].Kind, mkWarning);
  Ui.Clear();
  Window->RunCommand([this] { Window->miAsTextFiles1Click(); });
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Please select both left and right files."}));
}

TEST_F(MainWindowTest, TheTextModeNeedsTwoExistingFiles) {
  Window->SetPaths(Write(QStringLiteral("a.txt"), "x"), Path(QStringLiteral("missing.txt")));
  Window->RunCommand([this] { Window->miAsTextFiles1Click(); });
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Both paths must be existing files for files comparison."}));
  EXPECT_TRUE(TfrmMainTestAccess::GettingStarted(*Window)->isVisible());
}

TEST_F(MainWindowTest, HistoriesTakeTheTrimmedPathAndTheBoxKeepsItsText) {
  const QString a = Write(QStringLiteral("a.txt"), "x");
  const QString b = Write(QStringLiteral("b.txt"), "x");
  QComboBox* left = TfrmMainTestAccess::LeftBox(*Window);
  Compare(QStringLiteral("  ") + a + QStringLiteral(" "), b);
  EXPECT_EQ(left->currentText(), QStringLiteral("  ") + a + QStringLiteral(" "));
  ASSERT_EQ(left->count(), 1);
  EXPECT_EQ(left->itemText(0), a);

  // The text mode keeps an entry's place; the Compare button moves it to the top.
  Compare(b, b);
  EXPECT_EQ(left->itemText(0), b);
  Window->SetPaths(a, b);
  Window->RunCommand([this] { Window->miAsTextFiles1Click(); });
  EXPECT_EQ(left->itemText(0), b);
  EXPECT_EQ(left->itemText(1), a);
  // The same path in other letters replaces the entry at the top, in its new spelling.
  Compare(a.toUpper(), b);
  EXPECT_EQ(left->itemText(0), a.toUpper());
  EXPECT_EQ(left->count(), 2);
}

TEST_F(MainWindowTest, UnsavedChangesAskBeforeTheyAreLost) {
  CompareTexts("a\n", "b\n");
  TfrmMainTestAccess::SetUnsavedChanges(*Window, true);
  Ui.Clear();
  Ui.ConfirmAnswers.enqueue(false);
  Compare(Write(QStringLiteral("c.txt"), "c\n"), Write(QStringLiteral("d.txt"), "c\n"));
  EXPECT_EQ(Ui.Confirmations, QStringList({"Load and compare the specified files?\r\nCurrent changes will be lost."}));
  EXPECT_TRUE(Ui.Messages.isEmpty());
  EXPECT_EQ(Window->LeftLines(), QStringList({"a"}));

  Ui.ConfirmAnswers.enqueue(true);
  Compare(Path(QStringLiteral("c.txt")), Path(QStringLiteral("d.txt")));
  EXPECT_EQ(Window->LeftLines(), QStringList({"c"}));
  EXPECT_FALSE(Window->UnsavedChanges());
}

TEST_F(MainWindowTest, UndoBeforeAnyComparisonBeepsAndAsksNothingLater) {
  Window->RunCommand([this] { Window->ActionUndoExecute(); });
  EXPECT_EQ(Ui.Beeps, 1);
  CompareTexts("a\n", "a\n");
  EXPECT_TRUE(Ui.Confirmations.isEmpty());
}

TEST_F(MainWindowTest, NavigationWalksFromBlockToBlockAndCentres) {
  QByteArray left;
  QByteArray right;
  for (int i = 1; i <= 100; ++i) {
    left += "line " + QByteArray::number(i) + "\n";
    right += (i == 3 || i == 4 || i == 100 ? "changed " : "line ") + QByteArray::number(i) + "\n";
  }
  CompareTexts(left, right);
  Window->btnFirstDiffClick();
  EXPECT_EQ(Grid().Row(), 3);
  EXPECT_EQ(Grid().TopRow(), 1);
  Window->btnNextDiffClick();
  EXPECT_EQ(Grid().Row(), 100);
  // The last rows cannot be centred: the grid shows its end.
  EXPECT_EQ(Grid().verticalScrollBar()->value(), Grid().verticalScrollBar()->maximum());
  EXPECT_GT(Grid().TopRow(), 60);
  Window->btnNextDiffClick();
  EXPECT_EQ(Ui.Beeps, 1);
  Window->btnPrevDiffClick();
  EXPECT_EQ(Grid().Row(), 3);
  Window->btnPrevDiffClick();
  EXPECT_EQ(Ui.Beeps, 2);
  Window->btnLastDiffClick();
  EXPECT_EQ(Grid().Row(), 100);
}

TEST_F(MainWindowTest, OnlyEqualRowsBeepOnNextAndPreviousButNotOnFirstAndLast) {
  CompareTexts("a\nb\n", "a\nb\n");
  Window->btnFirstDiffClick();
  Window->btnLastDiffClick();
  EXPECT_EQ(Ui.Beeps, 0);
  Window->btnNextDiffClick();
  Window->btnPrevDiffClick();
  EXPECT_EQ(Ui.Beeps, 2);
}

struct TSaveCase {
  const char* Name;
  QByteArray Content;
  QByteArray Saved;
  const char* EncName;
};

void PrintTo(const TSaveCase& c, std::ostream* out) { *out << c.Name; }

class SaveTest : public MainWindowTest, public ::testing::WithParamInterface<TSaveCase> {};

TEST_P(SaveTest, WritesTheEncodingAndByteOrderMarkTheSideWasReadWith) {
  const TSaveCase& c = GetParam();
  CompareTexts(c.Content, "other\n");
  const QString target = Path(QStringLiteral("saved.txt"));
  Ui.SaveAnswers.enqueue(target);
  Window->RunCommand([this] { Window->btnSaveLeftClick(); });
  EXPECT_EQ(Read(target), c.Saved);
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Left file saved as %1.").arg(QString::fromLatin1(c.EncName)));
  EXPECT_EQ(Ui.SaveRequests.value(0), FDir.path() + QStringLiteral("|left.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SaveTest,
    ::testing::Values(
        TSaveCase{"AsciiWithLf", "a\nb", "a\r\nb\r\n", "ANSI/ASCII"},
        TSaveCase{"Ansi", "caf\xE9\n", "caf\xE9\r\n", "ANSI"},
        TSaveCase{"Utf8WithoutBom", "caf\xC3\xA9\r", "caf\xC3\xA9\r\n", "UTF-8"},
        TSaveCase{"Utf8WithBom", "\xEF\xBB\xBFx", "\xEF\xBB\xBFx\r\n", "UTF-8 with BOM"},
        TSaveCase{"BomOnly", "\xEF\xBB\xBF", "\xEF\xBB\xBF", "UTF-8 with BOM"},
        TSaveCase{"Utf16Le", QByteArray("\xFF\xFEx\0", 4), QByteArray("\xFF\xFEx\0\r\0\n\0", 8), "UTF-16 LE with BOM"},
        TSaveCase{"Utf16Be", QByteArray("\xFE\xFF\0x", 4), QByteArray("\xFE\xFF\0x\0\r\0\n", 8), "UTF-16 BE with BOM"},
        TSaveCase{"Empty", "", "", "ANSI"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainWindowTest, SavingIsRefusedInFolderModeAndCancellingChangesNothing) {
  CompareTexts("a\n", "b\n");
  TfrmMainTestAccess::SetUnsavedChanges(*Window, true);
  Window->RunCommand([this] { Window->btnSaveRightClick(); });  // the chooser is cancelled
  EXPECT_TRUE(Window->UnsavedChanges());
  Write(QStringLiteral("l/x"), "1");
  Write(QStringLiteral("r/x"), "1");
  Ui.ConfirmAnswers.enqueue(true);
  Compare(Path(QStringLiteral("l")), Path(QStringLiteral("r")));
  Ui.Clear();
  Window->RunCommand([this] { Window->btnSaveLeftClick(); });
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Save is not available in folder comparison mode."}));
}

TEST_F(MainWindowTest, AFileThatCannotBeDecodedIsReportedAndLeavesNoRows) {
  CompareTexts("a\n", "b\n");
  Ui.Clear();
  Compare(Write(QStringLiteral("bad.txt"), "\xEF\xBB\xBF\xC0\xAF"), Write(QStringLiteral("ok.txt"), "x"));
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_EQ(Ui.Messages[0].Kind, mkError);
  EXPECT_TRUE(Ui.Messages[0].Text.contains(QLatin1String("bad.txt")));
  EXPECT_TRUE(Window->DiffItems().isEmpty());
  EXPECT_EQ(Grid().RowCount(), 2);
}

TEST_F(MainWindowTest, RowsGrowWithTheirWrappedText) {
  CompareTexts("short\n" + QByteArray(400, 'w').replace("wwwwwww", "wwwwww ") + "\n", "short\nother\n");
  EXPECT_EQ(Grid().RowHeight(1), Window->BaseRowHeight());
  EXPECT_GT(Grid().RowHeight(2), 2 * Window->BaseRowHeight());
  EXPECT_EQ(Grid().RowHeight(0), int(std::nearbyint(1.5 * Window->BaseRowHeight())));
}

TEST_F(MainWindowTest, TheAboutBoxAndTheWebLinks) {
  Window->btnInfoClick();
  ASSERT_EQ(Ui.Messages.size(), 1);
  const QStringList lines = Ui.Messages[0].Text.split(kCrLf);
  EXPECT_EQ(lines.value(0), QStringLiteral("Varnoque"));
  EXPECT_EQ(lines.value(1), QStringLiteral("Version: 2.0"));
  EXPECT_TRUE(lines.value(3).contains(QString::number(QDate::currentDate().year())));
  EXPECT_EQ(lines.value(4), QStringLiteral("Website: www.varnoque.example"));
  Window->lbHomepageURLClick();
  Window->mmSupportClick();
  Window->mmTutorialClick();
  EXPECT_EQ(Ui.OpenedUrls, QStringList({"https://www.varnoque.example", "https://www.varnoque.example/contact",
                                        "https://www.varnoque.example/redirect/tutorial-varnoque.html"}));
}

TEST_F(MainWindowTest, BrowsingPutsTheChosenPathIntoTheBoxAndLeavesTheHistory) {
  const QString chosen = Write(QStringLiteral("sub/picked.txt"), "x");
  TfrmMainTestAccess::LeftBox(*Window)->setEditText(Path(QStringLiteral("sub/whatever.txt")));
  Ui.OpenAnswers.enqueue(chosen);
  Window->btnBrowseLeftClick();
  EXPECT_EQ(Ui.OpenFolders.value(0), Path(QStringLiteral("sub")));
  EXPECT_EQ(TfrmMainTestAccess::LeftBox(*Window)->currentText(), chosen);
  EXPECT_EQ(TfrmMainTestAccess::LeftBox(*Window)->count(), 0);
  // A folder that does not exist leaves the chooser where it was.
  TfrmMainTestAccess::LeftBox(*Window)->setEditText(QStringLiteral("/no/such/folder/file.txt"));
  Window->btnBrowseLeftClick();
  EXPECT_EQ(Ui.OpenFolders.value(1), Path(QStringLiteral("sub")));
}

}  // namespace
