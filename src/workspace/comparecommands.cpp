// The main window's text comparison: the Compare button, the text mode, filling the grid, the
// statistics and saving a side.

#include "app/tfrmmain.h"
#include "i18n/format.h"
#include "i18n/translations.h"
#include "view/diffgrid.h"
#include "workspace/comparechoice.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool IsExistingFile(const QString& path) { return QFileInfo(path).isFile(); }

}  // namespace

bool TfrmMain::ConfirmDiscardChanges(const QString& question) {
  if (!FUnsavedChanges) return true;
  return FUi.Confirm(Translate(question) + kCrLf + Translate(QStringLiteral("Current changes will be lost.")));
}

void TfrmMain::UpdateHistories(const QString& leftPath, const QString& rightPath, int mode) {
  for (auto [side, path] : {std::pair{sdLeft, leftPath}, std::pair{sdRight, rightPath}}) {
    QStringList items = History(side);
    UpdatePathHistory(items, path, THistoryUpdate(mode));
    SetHistory(side, items);
  }
}

bool TfrmMain::ReadPathBoxes(QString& leftPath, QString& rightPath, const QString& emptyMessage) {
  leftPath = TrimPath(cmbLeft->currentText());
  rightPath = TrimPath(cmbRight->currentText());
  if (!leftPath.isEmpty() && !rightPath.isEmpty()) return true;
  FUi.ShowMessage(mkWarning, Translate(emptyMessage));
  return false;
}

void TfrmMain::miAutomatically1Click() { btnCompareClick(); }

void TfrmMain::btnCompareClick() {
  if (!ConfirmDiscardChanges(QStringLiteral("Load and compare the specified files?"))) return;
  QString left, right;
  if (!ReadPathBoxes(left, right, QStringLiteral("Please select both left and right files or folders."))) return;
  switch (ChooseByFolders(left, right)) {
    case acFolderMismatch:
      FUi.ShowMessage(mkError, Translate(QStringLiteral("Both paths must be folders for folder comparison.")));
      return;
    case acFolders:
      CompareFolders(left, right);
      break;
    default:
      FUi.SetPointer(crHourGlass);
      if (ChooseByContent(left, right) == acDocuments) CompareDocuments(left, right);
      else CompareTextFiles(left, right);
      // A comparison that stopped at a message leaves no hourglass behind.
      FUi.SetPointer(crDefault);
      break;
  }
  UpdateHistories(left, right, huMoveToTop);
  SaveSettings();
}

void TfrmMain::miAsTextFiles1Click() {
  if (!ConfirmDiscardChanges(QStringLiteral("Load and compare the specified files?"))) return;
  QString left, right;
  if (!ReadExistingFilePaths(left, right)) return;
  CompareTextFiles(left, right);
  UpdateHistories(left, right, huInsertIfAbsent);
  SaveSettings();
}

// The two path boxes for the comparison menu entries: both must name existing files.
bool TfrmMain::ReadExistingFilePaths(QString& leftPath, QString& rightPath) {
  if (!ReadPathBoxes(leftPath, rightPath, QStringLiteral("Please select both left and right files."))) return false;
  if (IsExistingFile(leftPath) && IsExistingFile(rightPath)) return true;
  FUi.ShowMessage(mkError, Translate(QStringLiteral("Both paths must be existing files for files comparison.")));
  return false;
}

// Checks the two paths the way the text and document comparisons start; false after a message.
bool TfrmMain::CheckComparedFiles(const QString& leftPath, const QString& rightPath) {
  if (leftPath.isEmpty() || rightPath.isEmpty()) {
    FUi.ShowMessage(mkWarning, Translate(QStringLiteral("Please select both left and right files.")));
    return false;
  }
  for (auto [path, message] : {std::pair{leftPath, "Left file does not exist."}, {rightPath, "Right file does not exist."}}) {
    if (IsExistingFile(path)) continue;
    FUi.ShowMessage(mkError, Translate(QString::fromLatin1(message)));
    return false;
  }
  return true;
}

// Shows the grid in place of the getting-started panel and switches to a new text comparison.
void TfrmMain::StartTextComparison() {
  ShowGrid();
  // The sides are replaced: an edit still open belongs to lines that are going away.
  EndCellEdit(false);
  FFolderMode = false;
  SetComparisonCommandsEnabled(true);
  SupersedeRecomputation();
  ClearUndoStack();
  FLeftLines.clear();
  FRightLines.clear();
  FUnsavedChanges = false;
}

void TfrmMain::CompareTextFiles(const QString& leftPath, const QString& rightPath) {
  if (!CheckComparedFiles(leftPath, rightPath)) return;
  StartTextComparison();
  try {
    LoadTextSides(leftPath, rightPath);
  } catch (...) {
    // No row may point at a line of the sides that were just emptied.
    FDiffItems.clear();
    FillGridRows();
    throw;
  }
  RunDiff();
  if (!HasDifferences()) FUi.ShowMessage(mkInformation, Translate(QStringLiteral("The files are identical.")));
  ShowStatistics(LineCountPrefix(), true);
}

void TfrmMain::RunDiff() {
  ComputeRows();
  FillGridRows();
  FUi.SetPointer(crDefault);
}

void TfrmMain::FillGridRows() {
  grdDiff->FillTextRows(FDiffItems, FLeftLines, FRightLines);
  UpdateAllRowHeights();
}

void TfrmMain::ShowStatistics(const QString& prefix, bool showSummary) {
  lblStatus->setText(StatisticsText(prefix, FDiffItems));
  if (showSummary && !FDiffItems.isEmpty()) FUi.ShowMessage(mkInformation, SummaryText(prefix, FDiffItems));
}

void TfrmMain::btnSaveLeftClick() { SaveSide(sdLeft); }

void TfrmMain::btnSaveRightClick() { SaveSide(sdRight); }

void TfrmMain::SaveSide(TSide side) {
  if (FFolderMode) {
    FUi.ShowMessage(mkInformation, Translate(QStringLiteral("Save is not available in folder comparison mode.")));
    return;
  }
  EnsureContentLoaded();
  const auto [folder, name] = SplitFolderAndName((side == sdLeft ? cmbLeft : cmbRight)->currentText());
  const QString path = FUi.ChooseSaveFile(folder, name);
  if (path.isEmpty()) return;
  const TEncoding* encoder = &SaveEncoder(side);
  if (!encoder->CanEncode(Lines(side).join(QChar(u'\n')))) {
    // ANSI cannot hold every character the side now has: writing it would replace them.
    const QString question = side == sdLeft
        ? QStringLiteral("The left side holds characters that its encoding (%s) cannot store.")
        : QStringLiteral("The right side holds characters that its encoding (%s) cannot store.");
    if (!FUi.Confirm(FormatText(Translate(question), {EncName(side)}) + kCrLf +
                     Translate(QStringLiteral("Save it as UTF-8 instead?"))))
      return;
    SetSideEncoding(side, TDetectedEncoding{&TEncoding::UTF8(), false, QStringLiteral("UTF-8")});
    encoder = &SaveEncoder(side);
  }
  WriteTextFile(path, Lines(side), *encoder);
  FUnsavedChanges = false;
  const QString saved = side == sdLeft ? QStringLiteral("Left file saved as %s.") : QStringLiteral("Right file saved as %s.");
  lblStatus->setText(FormatText(Translate(saved), {EncName(side)}));
}
