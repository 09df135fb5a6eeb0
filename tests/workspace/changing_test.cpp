// Changing the sides through the window: block and whole-side copies, undo, in-cell editing and
// the background recomputation that follows every change.

#include "support/windowfixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <mutex>

namespace {

class ChangingTest : public WindowTest {
protected:
  void Select(int row, int col = 1) {
    Grid().SetRow(row);
    Grid().SetCol(col);
  }
  void Run(void (TfrmMain::*command)()) {
    Window->RunCommand([this, command] { (Window.get()->*command)(); });
  }
  void DoubleClick(int col, int row) {
    const QRect cell = Grid().visualRect(Grid().Model().index(row - 1, col));
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, cell.center());
  }
  QPlainTextEdit& Editor() { return *Window->CellEditor(); }
};

TEST_F(ChangingTest, CopyToRightReplacesTheBlockAndTheRowsFollow) {
  CompareTexts("a\nb\nc\nd\n", "a\nx\nd\n");
  Select(3);
  Run(&TfrmMain::btnLeftToRightClick);
  EXPECT_TRUE(Window->UnsavedChanges());
  EXPECT_EQ(Window->UndoCount(), 1);
  EXPECT_EQ(Ui.LastPointer(), crAppStart);
  EXPECT_EQ(Window->RightLines(), QStringList({"a", "b", "c", "d"}));
  WaitForRows();
  EXPECT_EQ(GridTexts(2), QStringList({"a", "b", "c", "d"}));
  EXPECT_FALSE(Window->HasDifferences());
  EXPECT_EQ(Ui.LastPointer(), crDefault);
  EXPECT_EQ(Window->StatusText(), QStringLiteral("4 lines (left file) vs 4 lines (right file). "
                                                 "Equal lines: 4 of 4 (100.0%). Different lines: 0."));
}

TEST_F(ChangingTest, CopyToLeftOfABlockWithoutLeftLinesInsertsBehindTheLineAbove) {
  CompareTexts("a\nd\n", "a\ny\nd\n");
  Select(2);
  Run(&TfrmMain::btnRightToLeftClick);
  EXPECT_EQ(Window->LeftLines(), QStringList({"a", "y", "d"}));
  WaitForRows();
  // Copying the other way finds no source line: nothing changes, but it still counts as a change.
  Ui.ConfirmAnswers.enqueue(true);
  CompareTexts("a\nd\n", "a\ny\nd\n");
  Select(2);
  Run(&TfrmMain::btnLeftToRightClick);
  EXPECT_EQ(Window->RightLines(), QStringList({"a", "y", "d"}));
  EXPECT_EQ(Window->UndoCount(), 1);
  EXPECT_TRUE(Window->UnsavedChanges());
  WaitForRows();
}

TEST_F(ChangingTest, FourCopiesThenFourUndosRestoreTheLastThreeStates) {
  CompareTexts("1\n2\n3\n4\n", "a\nb\nc\nd\n");
  QList<QStringList> before;
  for (int row : {1, 2, 3, 4}) {
    before.append(Window->RightLines());
    Select(row);
    Run(&TfrmMain::btnLeftToRightClick);
    WaitForRows();
  }
  for (int undo = 0; undo < 3; ++undo) {
    Run(&TfrmMain::ActionUndoExecute);
    WaitForRows();
    EXPECT_EQ(Window->RightLines(), before[3 - undo]) << undo;
  }
  EXPECT_EQ(Ui.Beeps, 0);
  Run(&TfrmMain::ActionUndoExecute);
  EXPECT_EQ(Ui.Beeps, 1);
  EXPECT_EQ(Window->RightLines(), before[1]);
}

TEST_F(ChangingTest, UndoRestoresTheSelectedRowAndColumn) {
  CompareTexts("a\nb\nc\n", "a\nx\nc\n");
  Select(2, 2);
  Run(&TfrmMain::btnLeftToRightClick);
  WaitForRows();
  Select(3, 1);
  Run(&TfrmMain::btnUndoClick);
  EXPECT_EQ(Grid().Row(), 2);
  EXPECT_EQ(Grid().Col(), 2);
  WaitForRows();
  EXPECT_EQ(GridTexts(2), QStringList({"a", "x", "c"}));
}

TEST_F(ChangingTest, WholeSideCopies) {
  CompareTexts("Same\n", "same\n");
  Run(&TfrmMain::btnAllRightDiffsToLeftClick);
  EXPECT_EQ(Window->LeftLines(), QStringList({"same"}));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Left side replaced with RIGHT (files made identical)."));
  WaitForRows();
  Ui.Clear();
  const int undoStates = Window->UndoCount();
  Run(&TfrmMain::btnAllLeftDiffsToRightClick);
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Files are already identical."}));
  EXPECT_EQ(Window->UndoCount(), undoStates);
}

TEST_F(ChangingTest, CopyAllFromAnEmptySideLeavesNoRows) {
  CompareTexts("a\nb\n", "");
  Run(&TfrmMain::btnAllRightDiffsToLeftClick);
  WaitForRows();
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(Window->StatusText(), QStringLiteral("0 lines (left file) vs 0 lines (right file). No comparable lines."));
  EXPECT_EQ(Ui.LastPointer(), crDefault);
}

TEST_F(ChangingTest, MergingBeepsInFolderMode) {
  Write(QStringLiteral("l/x"), "1");
  Write(QStringLiteral("r/x"), "12");
  Compare(Path(QStringLiteral("l")), Path(QStringLiteral("r")));
  Ui.Clear();
  for (auto command : {&TfrmMain::btnLeftToRightClick, &TfrmMain::btnRightToLeftClick,
                       &TfrmMain::btnAllLeftDiffsToRightClick, &TfrmMain::ActionUndoExecute})
    Run(command);
  EXPECT_EQ(Ui.Beeps, 4);
  EXPECT_TRUE(Ui.Messages.isEmpty());
}

TEST_F(ChangingTest, EnterCommitsAnEditAndCtrlZTakesItBack) {
  CompareTexts("one\ntwo\n", "one\n2\n");
  Select(2, 1);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  ASSERT_TRUE(Editor().isVisible());
  EXPECT_EQ(Editor().toPlainText(), QStringLiteral("two"));
  EXPECT_EQ(Editor().textCursor().selectedText(), QStringLiteral("two"));
  QTest::keyClicks(&Editor(), QStringLiteral("abc"));
  QTest::keyClick(&Editor(), Qt::Key_Return);
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_EQ(Window->LeftLines(), QStringList({"one", "abc"}));
  EXPECT_EQ(Grid().Cells(1, 2), QStringLiteral("abc"));
  EXPECT_EQ(Window->UndoCount(), 1);
  EXPECT_TRUE(TfrmMainTestAccess::Button(*Window, "btnUndo")->isEnabled());
  WaitForRows();
  QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Window->LeftLines(), QStringList({"one", "two"}));
  WaitForRows();
}

TEST_F(ChangingTest, EscCancelsWithoutASnapshot) {
  CompareTexts("one\n", "two\n");
  Select(1, 2);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  QTest::keyClicks(&Editor(), QStringLiteral("changed"));
  QTest::keyClick(&Editor(), Qt::Key_Escape);
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_EQ(Window->RightLines(), QStringList({"two"}));
  EXPECT_EQ(Window->UndoCount(), 0);
  EXPECT_FALSE(Window->UnsavedChanges());
}

TEST_F(ChangingTest, TabInsertsATabAndPastedLinesAreJoined) {
  CompareTexts("x\n", "y\n");
  Select(1, 1);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  QTest::keyClick(&Editor(), Qt::Key_Tab);
  Editor().insertPlainText(QStringLiteral("first\r\nsecond\nthird"));
  QTest::keyClick(&Editor(), Qt::Key_Enter);
  EXPECT_EQ(Window->LeftLines(), QStringList({"\tfirstsecondthird"}));
  EXPECT_EQ(Window->RightLines().size(), 1);
  WaitForRows();
}

TEST_F(ChangingTest, LeavingTheEditorCommitsEvenWithoutAChange) {
  CompareTexts("a\nb\nc\n", "a\nb\nc\n");
  Select(1, 1);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  ASSERT_TRUE(Editor().hasFocus());
  const QRect third = Grid().visualRect(Grid().Model().index(2, 1));
  QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, third.center());
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_EQ(Window->UndoCount(), 1);
  EXPECT_TRUE(Window->UnsavedChanges());
  WaitForRows();
}

TEST_F(ChangingTest, ADoubleClickOnAnotherRowCommitsTheOpenEditFirst) {
  QByteArray text;
  for (int i = 1; i <= 10; ++i) text += "line" + QByteArray::number(i) + "\n";
  CompareTexts(text, text);
  DoubleClick(1, 5);
  ASSERT_TRUE(Editor().isVisible());
  Editor().selectAll();
  QTest::keyClicks(&Editor(), QStringLiteral("five"));
  DoubleClick(2, 9);
  ASSERT_TRUE(Editor().isVisible());
  EXPECT_EQ(Window->LeftLines()[4], QStringLiteral("five"));
  EXPECT_EQ(Editor().toPlainText(), QStringLiteral("line9"));
  EXPECT_EQ(Window->UndoCount(), 1);
  QTest::keyClick(&Editor(), Qt::Key_Escape);
  WaitForRows();
}

TEST_F(ChangingTest, ACellWithoutALineBeeps) {
  CompareTexts("a\nc\n", "a\nb\nc\n");
  Select(2, 1);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  EXPECT_EQ(Ui.Beeps, 1);
  EXPECT_FALSE(Editor().isVisible());
  DoubleClick(1, 2);
  EXPECT_EQ(Ui.Beeps, 2);
}

TEST_F(ChangingTest, CtrlCCopiesTheCellOfTheCurrentColumn) {
  CompareTexts("left text\n", "right text\n");
  Select(1, 2);
  QTest::keyClick(&Grid(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("right text"));
}

// An engine that waits until the test lets each call finish, in the order the test chooses.
class TGatedEngine {
public:
  TComputeDiffFunction Function() {
    return [this](const QStringList& left, const QStringList& right, TDiffOptions options) {
      const int ticket = FCalls++;
      FGates[ticket].acquire();
      return ComputeDiff(left, right, options);
    };
  }
  void Release(int ticket) { FGates[ticket].release(); }
  void ReleaseAll() {
    for (QSemaphore& gate : FGates) gate.release(100);
  }
  int Calls() const { return FCalls; }

private:
  std::atomic<int> FCalls{0};
  QSemaphore FGates[16];
};

TEST_F(ChangingTest, OnlyTheNewestJobsRowsAreAppliedWhateverOrderTheyFinishIn) {
  // Both jobs run at once, so the second one can finish first.
  QThreadPool::globalInstance()->setMaxThreadCount(std::max(2, QThreadPool::globalInstance()->maxThreadCount()));
  CompareTexts("a\nb\n", "x\ny\n");
  // The first job (right = a, y) waits until the test lets it go; the second one does not.
  auto firstJobGate = std::make_shared<QSemaphore>();
  TfrmMainTestAccess::SetComputeDiff(*Window, [firstJobGate](const QStringList& l, const QStringList& r, TDiffOptions o) {
    if (r.value(1) == QLatin1String("y")) firstJobGate->acquire();
    return ComputeDiff(l, r, o);
  });
  Select(1);
  Run(&TfrmMain::btnLeftToRightClick);  // job 1: right = a, y
  // A whole-side copy needs no rows, so it runs while job 1 is pending: job 2, right = a, b.
  Run(&TfrmMain::btnAllLeftDiffsToRightClick);
  WaitForRows();
  EXPECT_EQ(GridTexts(2), QStringList({"a", "b"}));
  firstJobGate->release();
  QTest::qWait(300);  // job 1 finishes last and is dropped
  EXPECT_EQ(GridTexts(2), QStringList({"a", "b"}));
  EXPECT_FALSE(Window->HasDifferences());
  EXPECT_FALSE(Window->RecomputationInProgress());
}

TEST_F(ChangingTest, ANewComparisonDropsTheRowsOfARunningJob) {
  CompareTexts("a\nb\n", "x\ny\n");
  TGatedEngine engine;
  TfrmMainTestAccess::SetComputeDiff(*Window, engine.Function());
  Select(1);
  Run(&TfrmMain::btnLeftToRightClick);
  Ui.ConfirmAnswers.enqueue(true);
  Compare(Write(QStringLiteral("c.txt"), "c1\nc2\nc3\n"), Write(QStringLiteral("d.txt"), "c1\n"));
  EXPECT_FALSE(Window->RecomputationInProgress());
  engine.ReleaseAll();
  QTest::qWait(200);
  EXPECT_EQ(GridTexts(1), QStringList({"c1", "c2", "c3"}));
  EXPECT_EQ(Window->DiffItems().size(), 3);
}

TEST_F(ChangingTest, ClosingTheWindowWhileAJobRunsIsSafe) {
  CompareTexts("a\nb\n", "x\ny\n");
  auto engine = std::make_shared<TGatedEngine>();
  TfrmMainTestAccess::SetComputeDiff(*Window, engine->Function());
  Select(1);
  Run(&TfrmMain::btnLeftToRightClick);
  Window.reset();
  engine->ReleaseAll();
  QTest::qWait(200);  // the finished job must find no window to reach
  SUCCEED();
}

TEST_F(ChangingTest, ABlockCopyWhileRowsArePendingWaitsForThemAndCopiesTheRightLines) {
  CompareTexts("a\nb\nc\n", "a\nc\n");
  // Slow but not gated: every recomputation takes a while.
  TfrmMainTestAccess::SetComputeDiff(*Window, [](const QStringList& l, const QStringList& r, TDiffOptions o) {
    QThread::msleep(300);
    return ComputeDiff(l, r, o);
  });
  Select(1, 2);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  Editor().selectAll();
  QTest::keyClicks(&Editor(), QStringLiteral("A"));
  QTest::keyClick(&Editor(), Qt::Key_Return);  // right = A, c; rows pending
  ASSERT_TRUE(Window->RecomputationInProgress());
  Select(2);
  Run(&TfrmMain::btnLeftToRightClick);
  // On the rows of the new contents, row 2 belongs to the block of the changed first row, so the
  // block a, b replaces A. The stale rows would have inserted b alone behind A.
  WaitForRows();
  EXPECT_EQ(Window->RightLines(), QStringList({"a", "b", "c"}));
}

TEST_F(ChangingTest, AFailingRecomputationIsReportedAndLeavesTheRowsAlone) {
  CompareTexts("a\nb\n", "a\nc\n");
  TfrmMainTestAccess::SetComputeDiff(*Window, [](const QStringList&, const QStringList&, TDiffOptions) -> TDiffItems {
    throw std::bad_alloc();
  });
  Select(2);
  Ui.Clear();
  Run(&TfrmMain::btnLeftToRightClick);
  WaitForRows();
  EXPECT_EQ(Ui.LastPointer(), crDefault);
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_EQ(Ui.Messages[0].Kind, mkError);
  EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("The comparison could not be recomputed: Out of memory."));
  // The rows no longer describe the sides: commands that read them refuse.
  Run(&TfrmMain::btnLeftToRightClick);
  EXPECT_EQ(Ui.Beeps, 1);
  EXPECT_EQ(Window->UndoCount(), 1);
}

TEST_F(ChangingTest, SavingAnAnsiSideWithCharactersItCannotHoldAsksFirst) {
  CompareTexts("plain\n", "other\n");
  Select(1, 1);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  Editor().selectAll();
  Editor().insertPlainText(QStringLiteral("caf\u00E9 \u20AC \u0100"));
  QTest::keyClick(&Editor(), Qt::Key_Return);
  WaitForRows();
  const QString target = Path(QStringLiteral("saved.txt"));
  Ui.SaveAnswers.enqueue(target);
  Ui.ConfirmAnswers.enqueue(false);
  Run(&TfrmMain::btnSaveLeftClick);
  EXPECT_EQ(Ui.Confirmations.size(), 1);
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_TRUE(Window->UnsavedChanges());

  Ui.SaveAnswers.enqueue(target);
  Ui.ConfirmAnswers.enqueue(true);
  Run(&TfrmMain::btnSaveLeftClick);
  EXPECT_EQ(Read(target), QByteArray("caf\xC3\xA9 \xE2\x82\xAC \xC4\x80\r\n"));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Left file saved as UTF-8."));
  EXPECT_FALSE(Window->UnsavedChanges());
}

TEST_F(ChangingTest, SavingAnAnsiSideThatCanHoldEveryCharacterAsksNothing) {
  CompareTexts("plain\n", "other\n");
  Select(1, 1);
  QTest::keyClick(&Grid(), Qt::Key_F2);
  Editor().selectAll();
  Editor().insertPlainText(QStringLiteral("caf\u00E9 \u20AC"));
  QTest::keyClick(&Editor(), Qt::Key_Return);
  WaitForRows();
  const QString target = Path(QStringLiteral("saved.txt"));
  Ui.SaveAnswers.enqueue(target);
  Run(&TfrmMain::btnSaveLeftClick);
  EXPECT_TRUE(Ui.Confirmations.isEmpty());
  EXPECT_EQ(Read(target), QByteArray("caf\xE9 \x80\r\n"));
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Left file saved as ANSI/ASCII."));
}

}  // namespace
