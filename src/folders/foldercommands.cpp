// The main window's folder comparison.

#include "app/tfrmmain.h"
#include "folders/folderlisting.h"
#include "i18n/format.h"
#include "i18n/translations.h"
#include "view/diffgrid.h"
#include "workspace/comparechoice.h"

#include <QFileInfo>
#include <QLabel>

void TfrmMain::miAsFolders1Click() {
  if (!ConfirmDiscardChanges(QStringLiteral("Compare the specified folders?"))) return;
  QString left, right;
  if (!ReadPathBoxes(left, right, QStringLiteral("Please select both left and right folders."))) return;
  if (!QFileInfo(left).isDir() || !QFileInfo(right).isDir()) {
    FUi.ShowMessage(mkError, Translate(QStringLiteral("Both paths must be existing folders for folder comparison.")));
    return;
  }
  FUnsavedChanges = false;
  CompareFolders(left, right);
  UpdateHistories(left, right, huInsertIfAbsent);
  SaveSettings();
}

void TfrmMain::CompareFolders(const QString& leftRoot, const QString& rightRoot) {
  ShowGrid();
  EndCellEdit(false);
  SupersedeRecomputation();
  FFolderMode = true;
  SetComparisonCommandsEnabled(false);
  ClearUndoStack();
  FUi.SetPointer(crHourGlass);
  const TFolderComparison result = CompareFolderTrees(leftRoot, rightRoot);
  FDiffItems = result.Items;
  grdDiff->FillRowTexts(result.LeftTexts, result.RightTexts);
  UpdateAllRowHeights();
  FUi.SetPointer(crDefault);
  lblStatus->setText(FormatText(
      Translate(QStringLiteral(
          "Compared %d files (left folder, including subfolders) vs %d files (right folder, including subfolders).")),
      {qlonglong(result.LeftFileCount), qlonglong(result.RightFileCount)}));
  if (!HasDifferences())
    FUi.ShowMessage(mkInformation, Translate(QStringLiteral("The folders are identical (no different files).")));
}
