// Editing one line in place: a borderless editor over the cell; Enter or leaving it commits,
// Esc cancels. A committed edit is an undoable change like a merge.

#include "app/tfrmmain.h"
#include "view/diffgrid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextOption>
#include <QToolButton>

void TfrmMain::CreateCellEditor() {
  FCellEditor = new QPlainTextEdit(grdDiff);
  FCellEditor->hide();
  FCellEditor->setFrameStyle(QFrame::NoFrame);
  FCellEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FCellEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FCellEditor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  FCellEditor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  FCellEditor->setTabChangesFocus(false);
  FCellEditor->document()->setDocumentMargin(0);
  FCellEditor->setFont(grdDiff->font());
  QPalette colours = FCellEditor->palette();
  colours.setColor(QPalette::Base, ColorOf(clWindow));
  FCellEditor->setPalette(colours);
  FCellEditor->installEventFilter(this);
}

bool TfrmMain::GetEditableLineIndex(int col, int row, int& lineIndex) {
  lineIndex = -1;
  if (FFolderMode) return false;
  if (!WaitForCurrentRows()) return false;
  if (row <= 0 || row > FDiffItems.size()) return false;
  if (col != 1 && col != 2) return false;
  EnsureContentLoaded();
  const TDiffItem& item = FDiffItems[row - 1];
  lineIndex = col == 1 ? item.LeftIndex : item.RightIndex;
  return lineIndex >= 0 && lineIndex < Lines(col == 1 ? sdLeft : sdRight).size();
}

void TfrmMain::PlaceCellEditor(int col, int row) {
  FCellEditor->setGeometry(grdDiff->CellRect(col, row).adjusted(2, 1, -2, -1));
}

void TfrmMain::BeginCellEdit(int col, int row) {
  if (!FCellEditor) CreateCellEditor();
  int lineIndex = -1;
  if (!GetEditableLineIndex(col, row, lineIndex)) {
    FUi.Beep();
    return;
  }
  if (FCellEditor->isVisible() && !FInCellEditCommit) {
    EndCellEdit(true);
    // The commit started a recomputation; the cell to open is found in the rows it brings.
    if (!GetEditableLineIndex(col, row, lineIndex)) {
      FUi.Beep();
      return;
    }
  }
  FEditingCol = col;
  FEditingRow = row;
  FCellEditor->setFont(grdDiff->font());
  FCellEditor->setPlainText(Lines(col == 1 ? sdLeft : sdRight)[lineIndex]);
  PlaceCellEditor(col, row);
  FCellEditor->setReadOnly(false);
  FCellEditor->show();
  FCellEditor->raise();
  FCellEditor->setFocus(Qt::OtherFocusReason);
  FCellEditor->selectAll();
}

namespace {
QString JoinedLines(QString text) {
  text.remove(QStringLiteral("\r\n"));
  text.remove(QLatin1Char('\r'));
  text.remove(QLatin1Char('\n'));
  // The editor's own paragraph and line separators are line breaks too.
  text.remove(QChar::ParagraphSeparator);
  text.remove(QChar::LineSeparator);
  return text;
}
}  // namespace

void TfrmMain::EndCellEdit(bool accept) {
  if (!FCellEditor || !FCellEditor->isVisible()) return;
  if (accept && !FInCellEditCommit) {
    FInCellEditCommit = true;
    try {
      CommitCellEdit();
    } catch (...) {
      FInCellEditCommit = false;
      CloseCellEditor();
      throw;
    }
    FInCellEditCommit = false;
  }
  CloseCellEditor();
}

void TfrmMain::CommitCellEdit() {
  int lineIndex = -1;
  if (!GetEditableLineIndex(FEditingCol, FEditingRow, lineIndex)) return;
  const QString text = JoinedLines(FCellEditor->toPlainText());
  FUnsavedChanges = true;
  PushUndoState();
  btnUndo->setEnabled(true);
  Lines(FEditingCol == 1 ? sdLeft : sdRight)[lineIndex] = text;
  grdDiff->Model().SetCellText(FEditingCol, FEditingRow, text);
  UpdateRowHeight(FEditingRow);
  InvalidateGridRow(FEditingRow);
  FUi.SetPointer(crAppStart);
  RecomputeDiffAsync();
  ShowStatistics(LineCountPrefix(), false);
  grdDiff->SetRow(std::clamp(FEditingRow, 1, grdDiff->RowCount() - 1));
}

void TfrmMain::CloseCellEditor() {
  FCellEditor->hide();
  FEditingCol = -1;
  FEditingRow = -1;
  grdDiff->setFocus(Qt::OtherFocusReason);
}

// Commands that change the sides or the rows first keep what is being typed.
void TfrmMain::CommitOpenEdit() {
  if (FCellEditor && FCellEditor->isVisible() && !FInCellEditCommit) EndCellEdit(true);
}

void TfrmMain::grdDiffDblClick() {
  int col = grdDiff->Col();
  const int row = grdDiff->Row();
  if (FLastMouseRow == row && (FLastMouseCol == 1 || FLastMouseCol == 2)) col = FLastMouseCol;
  BeginCellEdit(col, row);
}

bool TfrmMain::grdDiffKeyDown(QKeyEvent* event) {
  if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
    BeginCellEdit(grdDiff->Col(), grdDiff->Row());
    return true;
  }
  if (event->matches(QKeySequence::Copy)) {
    const int row = grdDiff->Row();
    const int col = grdDiff->Col();
    if (row > 0 && (col == 1 || col == 2)) QGuiApplication::clipboard()->setText(grdDiff->Cells(col, row));
    return true;
  }
  if (event->key() == Qt::Key_Escape && FCellEditor && FCellEditor->isVisible()) {
    EndCellEdit(false);
    return true;
  }
  return false;
}

bool TfrmMain::CellEditorKeyDown(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    EndCellEdit(true);
    return true;
  }
  if (event->key() == Qt::Key_Escape) {
    EndCellEdit(false);
    return true;
  }
  return false;
}

void TfrmMain::CellEditorExit(Qt::FocusReason reason) {
  // A menu or another application taking the focus is not leaving the editor.
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
  if (FCellEditor->isVisible() && !FInCellEditCommit) EndCellEdit(true);
}
