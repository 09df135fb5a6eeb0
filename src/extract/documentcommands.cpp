// The main window's document comparison: the texts a Tika server extracts become the two sides.

#include "app/tfrmmain.h"
#include "extract/tikaclient.h"
#include "i18n/translations.h"
#include "workspace/comparechoice.h"

void TfrmMain::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click() {
  if (!ConfirmDiscardChanges(QStringLiteral("Load and compare the specified files?"))) return;
  QString left, right;
  if (!ReadExistingFilePaths(left, right)) return;
  CompareDocuments(left, right);
  UpdateHistories(left, right, huInsertIfAbsent);
  SaveSettings();
}

void TfrmMain::CompareDocuments(const QString& leftPath, const QString& rightPath) {
  if (!CheckComparedFiles(leftPath, rightPath)) return;
  StartTextComparison();
  const TExtraction left = ExtractTextWithTika(leftPath);
  if (left.Success) SetDocumentSide(sdLeft, left.Text);
  const TExtraction right = ExtractTextWithTika(rightPath);
  if (right.Success) SetDocumentSide(sdRight, right.Text);
  if (left.Success && right.Success) {
    RunDiff();
    if (!HasDifferences()) FUi.ShowMessage(mkInformation, Translate(QStringLiteral("The files are identical.")));
    ShowStatistics(LineCountPrefix(), true);
    return;
  }
  FDiffItems.clear();
  FillGridRows();
  FUi.SetPointer(crDefault);
  const QString failure = DocumentFailureText(left, right);
  ShowStatistics(failure, true);
  FUi.ShowMessage(mkWarning, failure + QStringLiteral("\r\n\r\n") + TikaInstallHint());
}
