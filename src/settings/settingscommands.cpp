// The main window's Settings command: fills the dialog, shows it and applies what was confirmed.

#include "app/tfrmmain.h"
#include "settings/settingsdialog.h"
#include "view/diffgrid.h"
#include "view/rowheights.h"

#include <QCheckBox>
#include <QPlainTextEdit>

namespace {
// Sizes outside these points (a damaged settings file) keep the grid's present size.
constexpr int kMinFontPoints = 1;
constexpr int kMaxFontPoints = 500;

bool IsUsableFontSize(int points) { return points >= kMinFontPoints && points <= kMaxFontPoints; }
}  // namespace

void TfrmMain::SetSettingsDialog(TfrmSettings* dialog) { FSettingsDialog = dialog; }

TfrmSettings& TfrmMain::SettingsDialog() {
  if (!FSettingsDialog) FSettingsDialog = new TfrmSettings(FUi, this);
  return *FSettingsDialog;
}

void TfrmMain::SetGridFont(const QString& face, int points, TColorValue colour) {
  QFont font(face);
  const int size = IsUsableFontSize(points) ? points : grdDiff->font().pointSize();
  if (IsUsableFontSize(size)) font.setPointSize(size);
  font.setStyleHint(QFont::TypeWriter);
  grdDiff->setFont(font);
  FGridFontColor = colour;
  FRowHeights = std::make_unique<TRowHeightMeasurer>(font);
  if (FCellEditor) FCellEditor->setFont(font);
}

void TfrmMain::btnSettingsClick() {
  TfrmSettings& frm = SettingsDialog();
  frm.SetDefaultFontSize(FDefaultFontSize);
  const std::pair<QCheckBox*, bool*> options[] = {
      {frm.chkIgnoreCase, &fIgnoreCase},           {frm.chkIgnoreWhitespace, &fIgnoreWhitespace},
      {frm.chkIgnoreWSAmount, &fIgnoreWSAmount},   {frm.chkIgnoreTrailingWS, &fIgnoreTrailingWS},
      {frm.chkIgnoreLeadingWS, &fIgnoreLeadingWS}, {frm.chkIgnoreBlankLines, &fIgnoreBlankLiness}};
  const std::pair<TColorSwatch*, TColorValue*> colours[] = {
      {frm.btnColorAddedLines, &fColorAddedLines},
      {frm.btnColorRemovedLines, &fColorRemovedLines},
      {frm.btnColorChangedLines, &fColorChangedLines},
      {frm.btnColorDifferentTextInLine, &fColorDifferentTextInLine}};
  for (auto [box, flag] : options) box->setChecked(*flag);
  frm.chkShowLineNumbers->setChecked(LineNumbersShown());
  frm.chkShowGridLines->setChecked(grdDiff->HorizontalLines());
  frm.FontDialog1Font = QFont(grdDiff->font().family(), grdDiff->font().pointSize());
  frm.FontDialog1Color = FGridFontColor;
  for (auto [swatch, value] : colours) swatch->SetValue(*value);

  FUi.ShowModal(frm);
  if (frm.Tag() != 1) return;

  for (auto [box, flag] : options) *flag = box->isChecked();
  for (auto [swatch, value] : colours) *value = swatch->Value();
  SetLineNumbersShown(frm.chkShowLineNumbers->isChecked());
  grdDiff->SetHorizontalLines(frm.chkShowGridLines->isChecked());
  SetGridFont(frm.FontDialog1Font.family(), frm.FontDialog1Font.pointSize(), frm.FontDialog1Color);
  FormResize();
  UpdateAllRowHeights();
  grdDiff->viewport()->update();
  if (FFolderMode) return;
  RecomputeDiffAsync();
  ShowStatistics(LineCountPrefix(), false);
}
