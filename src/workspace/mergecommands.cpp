// The main window's merge commands: copying the block under the selection or a whole side over
// the other side, and undoing the last changes.

#include "app/tfrmmain.h"
#include "i18n/translations.h"
#include "view/diffgrid.h"
#include "workspace/merging.h"

#include <QLabel>
#include <QToolButton>

void TfrmMain::PushUndoState() {
  TWorkspace::PushUndoState(
      TUndoState{FLeftLines, FRightLines, grdDiff->Row(), grdDiff->Col(), grdDiff->TopRow()});
}

// A change of the sides: one snapshot more, the unsaved flag, and the rows recomputed.
void TfrmMain::BeginChange() {
  PushUndoState();
  FUnsavedChanges = true;
  btnUndo->setEnabled(true);
}

void TfrmMain::EndChange() {
  FUi.SetPointer(crAppStart);
  RecomputeDiffAsync();
}

void TfrmMain::btnLeftToRightClick() { CopyBlockCommand(sdLeft); }

void TfrmMain::btnRightToLeftClick() { CopyBlockCommand(sdRight); }

// The start of every merge: a folder comparison beeps, and what is being typed is kept first.
bool TfrmMain::StartMerge() {
  if (FFolderMode) {
    FUi.Beep();
    return false;
  }
  EnsureContentLoaded();
  CommitOpenEdit();
  return true;
}

void TfrmMain::CopyBlockCommand(TSide from) {
  if (!StartMerge()) return;
  if (!WaitForCurrentRows()) {
    FUi.Beep();
    return;
  }
  const int row = grdDiff->Row();
  if (row <= 0 || row > FDiffItems.size()) return;
  BeginChange();
  if (from == sdLeft) CopyBlockLeftToRight(row - 1);
  else CopyBlockRightToLeft(row - 1);
  EndChange();
}

void TfrmMain::CopyBlockLeftToRight(int index) { CopyBlock(FDiffItems, index, sdLeft, FLeftLines, FRightLines); }

void TfrmMain::CopyBlockRightToLeft(int index) { CopyBlock(FDiffItems, index, sdRight, FRightLines, FLeftLines); }

void TfrmMain::btnAllLeftDiffsToRightClick() { CopySideCommand(sdLeft); }

void TfrmMain::btnAllRightDiffsToLeftClick() { CopySideCommand(sdRight); }

void TfrmMain::CopySideCommand(TSide from) {
  if (!StartMerge()) return;
  if (LinesIdentical(FLeftLines, FRightLines)) {
    FUi.ShowMessage(mkInformation, Translate(QStringLiteral("Files are already identical.")));
    return;
  }
  BeginChange();
  Lines(OtherSide(from)) = Lines(from);
  EndChange();
  lblStatus->setText(Translate(from == sdLeft ? QStringLiteral("Right side replaced with LEFT (files made identical).")
                                              : QStringLiteral("Left side replaced with RIGHT (files made identical).")));
}

void TfrmMain::btnUndoClick() { ActionUndoExecute(); }

void TfrmMain::ActionUndoExecute() {
  if (FFolderMode || FUndoStack.isEmpty()) {
    FUi.Beep();
    return;
  }
  CommitOpenEdit();
  FUnsavedChanges = true;
  FUi.SetPointer(crAppStart);
  UndoLastMerge();
}

void TfrmMain::UndoLastMerge() {
  TUndoState state;
  if (!PopUndoState(state)) return;
  FLeftLines = state.LeftLines;
  FRightLines = state.RightLines;
  RecomputeDiffAsync();
  if (state.SelectedRow >= 0 && state.SelectedRow < grdDiff->RowCount()) grdDiff->SetRow(state.SelectedRow);
  else if (grdDiff->RowCount() > 1) grdDiff->SetRow(1);
  grdDiff->SetCol(state.SelectedCol >= 0 && state.SelectedCol < grdDiff->ColCount() ? state.SelectedCol : 1);
  if (state.TopRow >= 0 && state.TopRow < grdDiff->RowCount()) grdDiff->SetTopRow(state.TopRow);
}
