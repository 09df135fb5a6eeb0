// The main window's settings file: the window's state assembled into the record and applied
// from it, field by field as far as the file could be read.

#include "app/tfrmmain.h"
#include "settings/settingsfile.h"
#include "view/diffgrid.h"
#include "workspace/comparechoice.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

int RoundHalfEven(double value) { return int(std::nearbyint(value)); }

// A damaged file may hold any size: the window is kept between a usable minimum and the screen.
QSize FittedOnScreen(const QSize& size) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize area = screen ? screen->availableGeometry().size() : QSize(1138, 606);
  return QSize(std::clamp(size.width(), 200, std::max(200, area.width())),
               std::clamp(size.height(), 150, std::max(150, area.height())));
}

}  // namespace

TSettingsRecord TfrmMain::CurrentSettings() const {
  TSettingsRecord record;
  record.LeftOpenFolder = dlgOpen1.InitialDir;
  record.RightOpenFolder = dlgopen2.InitialDir;
  record.IgnoreWhitespace = fIgnoreWhitespace;
  record.IgnoreWSAmount = fIgnoreWSAmount;
  record.IgnoreLeadingWS = fIgnoreLeadingWS;
  record.IgnoreTrailingWS = fIgnoreTrailingWS;
  record.IgnoreBlankLines = fIgnoreBlankLiness;
  record.IgnoreCase = fIgnoreCase;
  record.ShowLineNumbers = LineNumbersShown();
  record.ShowGridLines = grdDiff->HorizontalLines();
  record.FontColor = qint32(FGridFontColor);
  record.FontSize = grdDiff->font().pointSize();
  record.FontName = grdDiff->font().family();
  record.ColorAddedLines = qint32(fColorAddedLines);
  record.ColorRemovedLines = qint32(fColorRemovedLines);
  record.ColorChangedLines = qint32(fColorChangedLines);
  record.ColorDifferentTextInLine = qint32(fColorDifferentTextInLine);
  record.LeftHistory = History(sdLeft);
  record.RightHistory = History(sdRight);
  record.Maximized = isMaximized();
  const QRect placement = isMaximized() ? normalGeometry() : geometry();
  record.WindowLeft = pos().x();
  record.WindowTop = pos().y();
  record.WindowWidth = placement.width();
  record.WindowHeight = placement.height();
  record.ColWidth1 = grdDiff->ColWidth(1);
  record.ColWidth2 = grdDiff->ColWidth(2);
  return record;
}

void TfrmMain::SaveSettings() {
  if (!FSettingsFilePath.isEmpty()) SaveSettingsFile(FSettingsFilePath, CurrentSettings());
}

// The window opens in the middle of the work area of the monitor at the given point.
void TfrmMain::CentreOnScreenAt(const QPoint& point) {
  QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize size = frameGeometry().size();
  move(area.left() + std::max(0, RoundHalfEven(area.width() / 2.0) - RoundHalfEven(size.width() / 2.0)),
       area.top() + std::max(0, RoundHalfEven(area.height() / 2.0) - RoundHalfEven(size.height() / 2.0)));
}

void TfrmMain::LoadSettings() {
  FSettingsFilePath = SettingsFilePath();
  const std::optional<QByteArray> bytes = ReadSettingsFile(FSettingsFilePath);
  if (!bytes) {
    CentreOnScreenAt(QPoint());
    return;
  }
  const TSettingsReadResult read = ReadSettingsRecord(*bytes, CurrentSettings());
  ApplySettings(read.Record, read.FieldsRead);
}

// Applies the fields that were read: field n of the file is applied when n <= fieldsRead; a
// history whose entries were cut short keeps the entries read before the cut.
void TfrmMain::ApplySettings(const TSettingsRecord& record, int fieldsRead) {
  const auto has = [fieldsRead](int field) { return fieldsRead >= field; };
  if (has(2)) dlgOpen1.InitialDir = record.LeftOpenFolder;
  if (has(3)) dlgopen2.InitialDir = record.RightOpenFolder;
  if (has(4)) fIgnoreWhitespace = record.IgnoreWhitespace;
  if (has(5)) fIgnoreWSAmount = record.IgnoreWSAmount;
  if (has(6)) fIgnoreLeadingWS = record.IgnoreLeadingWS;
  if (has(7)) fIgnoreTrailingWS = record.IgnoreTrailingWS;
  if (has(8)) fIgnoreBlankLiness = record.IgnoreBlankLines;
  if (has(9)) fIgnoreCase = record.IgnoreCase;
  if (has(10)) SetLineNumbersShown(record.ShowLineNumbers);
  if (has(11)) grdDiff->SetHorizontalLines(record.ShowGridLines);
  if (has(12)) FGridFontColor = TColorValue(record.FontColor);
  if (has(13)) SetGridFont(grdDiff->font().family(), record.FontSize, FGridFontColor);
  if (has(14)) SetGridFont(record.FontName, grdDiff->font().pointSize(), FGridFontColor);
  if (has(15)) fColorAddedLines = TColorValue(record.ColorAddedLines);
  if (has(16)) fColorRemovedLines = TColorValue(record.ColorRemovedLines);
  if (has(17)) fColorChangedLines = TColorValue(record.ColorChangedLines);
  if (has(18)) fColorDifferentTextInLine = TColorValue(record.ColorDifferentTextInLine);
  // A history holds at most its length of paths, however many a damaged file lists.
  if (has(18)) SetHistory(sdLeft, record.LeftHistory.mid(0, MaxPathHistory));
  if (has(20)) SetHistory(sdRight, record.RightHistory.mid(0, MaxPathHistory));
  const bool maximized = has(23) && record.Maximized;
  if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
  if (!maximized) {
    // Each measure is taken over as far as it was read; the stored position chooses the
    // monitor, and the window opens in the middle of it.
    const QSize stored = FittedOnScreen(QSize(record.WindowWidth, record.WindowHeight));
    resize(has(26) ? stored.width() : width(), has(27) ? stored.height() : height());
    CentreOnScreenAt(QPoint(has(24) ? record.WindowLeft : 0, has(25) ? record.WindowTop : 0));
  }
  if (has(28)) grdDiff->SetColWidth(1, record.ColWidth1);
  if (has(29)) grdDiff->SetColWidth(2, record.ColWidth2);
  // The first layout of the shown window keeps the stored widths instead of halving the grid.
  FKeepStoredColumns = has(28);
}
