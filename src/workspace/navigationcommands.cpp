// The main window's four navigation commands: each selects a row and centres it.

#include "app/tfrmmain.h"
#include "view/diffgrid.h"
#include "workspace/navigation.h"

void TfrmMain::CenterOnRow(int row) {
  row = std::clamp(row, grdDiff->FixedRows(), grdDiff->RowCount() - 1);
  grdDiff->SetRow(row);
  grdDiff->SetTopRow(CenteredTopRow(row, grdDiff->VisibleRowCount(), grdDiff->RowCount()));
}

void TfrmMain::btnPrevDiffClick() {
  const int target = FindDiffRowBefore(FDiffItems, grdDiff->Row(), FFolderMode);
  if (target <= 0) FUi.Beep();
  else CenterOnRow(target);
}

void TfrmMain::btnNextDiffClick() {
  const int target = FindDiffRowAfter(FDiffItems, grdDiff->Row(), FFolderMode);
  if (target <= 0) FUi.Beep();
  else CenterOnRow(target);
}

void TfrmMain::btnFirstDiffClick() {
  const int target = FirstDiffRow(FDiffItems);
  if (target > 0) CenterOnRow(target);
}

void TfrmMain::btnLastDiffClick() {
  const int target = LastDiffRow(FDiffItems);
  if (target > 0) CenterOnRow(target);
}
