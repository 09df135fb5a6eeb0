#pragma once
// The main window offscreen with its settings dialog and its settings file. The window's 100 ms
// layout timer is stopped once the window exists, so a test decides when the layout runs
// (Settle) and no tick can slip in between two checks.

#include "settings/settingsdialog.h"
#include "settings/settingsfile.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>

// A failing comparison names the fields.
inline void PrintTo(const TSettingsRecord& r, std::ostream* out) {
  const auto text = [](const QString& s) { return s.toStdString(); };
  *out << "{folders " << text(r.LeftOpenFolder) << " | " << text(r.RightOpenFolder) << "; flags ws "
       << r.IgnoreWhitespace << r.IgnoreWSAmount << r.IgnoreLeadingWS << r.IgnoreTrailingWS << r.IgnoreBlankLines
       << " case " << r.IgnoreCase << "; numbers " << r.ShowLineNumbers << " lines " << r.ShowGridLines << "; font "
       << text(r.FontName) << " " << r.FontSize << "pt colour " << std::hex << r.FontColor << "; colours "
       << r.ColorAddedLines << " " << r.ColorRemovedLines << " " << r.ColorChangedLines << " "
       << r.ColorDifferentTextInLine << std::dec << "; history " << text(r.LeftHistory.join(','))
       << " | " << text(r.RightHistory.join(',')) << "; maximized " << r.Maximized << " at " << r.WindowLeft << ","
       << r.WindowTop << " size " << r.WindowWidth << "x" << r.WindowHeight << "; columns " << r.ColWidth1 << " "
       << r.ColWidth2 << "}";
}

// A click on a check box's indicator, as the user makes it.
inline void Click(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); }
inline void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// A record that differs from the defaults in every setting.
inline TSettingsRecord NonDefaultRecord() {
  TSettingsRecord r;
  r.LeftOpenFolder = QStringLiteral("/data/left");
  r.RightOpenFolder = QStringLiteral("/data/right");
  r.IgnoreWhitespace = r.IgnoreWSAmount = r.IgnoreLeadingWS = r.IgnoreTrailingWS = r.IgnoreBlankLines =
      r.IgnoreCase = true;
  r.ShowLineNumbers = false;
  r.ShowGridLines = false;
  r.FontColor = 0x000000FF;
  r.FontSize = 14;
  r.FontName = QStringLiteral("DejaVu Sans");
  r.ColorAddedLines = 0x00112233;
  r.ColorRemovedLines = 0x00445566;
  r.ColorChangedLines = 0x00778899;
  r.ColorDifferentTextInLine = 0x00AABBCC;
  r.LeftHistory = QStringList{QStringLiteral("/l/one.txt"), QStringLiteral("/l/two.txt")};
  r.RightHistory = QStringList{QStringLiteral("/r/one.txt")};
  r.WindowLeft = 10;
  r.WindowTop = 20;
  r.WindowWidth = 640;
  r.WindowHeight = 480;
  r.ColWidth1 = 200;
  r.ColWidth2 = 300;
  return r;
}

class SettingsWindowTest : public WindowTest {
protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English));
    WindowTest::SetUp();
    HoldLayoutTimer();
  }

  // The window's layout timer: its one 100 ms timer.
  QTimer* LayoutTimer() {
    QTimer* found = nullptr;
    for (QTimer* timer : Window->findChildren<QTimer*>(Qt::FindDirectChildrenOnly))
      if (timer->interval() == 100) found = timer;
    EXPECT_NE(found, nullptr);
    return found;
  }

  void HoldLayoutTimer() {
    TimerWasRunning = LayoutTimer()->isActive();
    LayoutTimer()->stop();
  }

  // Two ticks of the layout timer: enough for the layout to settle after any change.
  void Settle() {
    Window->Timer1Timer();
    Window->Timer1Timer();
  }

  QString SettingsFile() const { return FDir.filePath(QStringLiteral("appdata/Varnoque/settings.dt")); }

  // A new window that reads `bytes` as its settings file (no file at all without bytes).
  void RestartWith(const std::optional<QByteArray>& bytes) {
    Window.reset();  // saves the old window's settings: overwritten or removed next
    QFile::remove(SettingsFile());
    if (bytes) Write(QStringLiteral("appdata/Varnoque/settings.dt"), *bytes);
    Window = std::make_unique<TfrmMain>(Ui);
    HoldLayoutTimer();
    Window->show();
    QCoreApplication::processEvents();
  }

  // Opens the settings dialog from the window; the script plays the user and closes it.
  void OpenSettings(const std::function<void(TfrmSettings&)>& script) {
    Ui.ModalScript = [&script, this](QDialog& dialog) {
      Shown = &dialog;
      script(static_cast<TfrmSettings&>(dialog));
    };
    Window->RunCommand([this] { Window->btnSettingsClick(); });
    Ui.ModalScript = nullptr;
  }

  // What the dialog shows, read in the script.
  struct TDialogValues {
    bool Options[6];
    bool LineNumbers;
    bool GridLines;
    QString FontFace;
    int FontSize;
    TColorValue FontColor;
    TColorValue Colours[4];
  };
  static TDialogValues ValuesOf(const TfrmSettings& frm) {
    return {{frm.chkIgnoreCase->isChecked(), frm.chkIgnoreWhitespace->isChecked(), frm.chkIgnoreWSAmount->isChecked(),
             frm.chkIgnoreLeadingWS->isChecked(), frm.chkIgnoreTrailingWS->isChecked(),
             frm.chkIgnoreBlankLines->isChecked()},
            frm.chkShowLineNumbers->isChecked(),
            frm.chkShowGridLines->isChecked(),
            frm.FontDialog1Font.family(),
            frm.FontDialog1Font.pointSize(),
            frm.FontDialog1Color,
            {frm.btnColorAddedLines->Value(), frm.btnColorRemovedLines->Value(), frm.btnColorChangedLines->Value(),
             frm.btnColorDifferentTextInLine->Value()}};
  }

  // Everything a user sees of the settings: the record the window would save, the grid's font,
  // the label over the line numbers, the status line and the rows.
  struct TVisibleState {
    TSettingsRecord Settings;
    QFont Font;
    int LineNumberWidth;
    bool LabelShown;
    QString Status;
    QStringList Left;
    QStringList Right;
    bool operator==(const TVisibleState&) const = default;
  };
  TVisibleState VisibleState() {
    return {Window->CurrentSettings(),
            Grid().font(),
            Grid().ColWidth(0),
            TfrmMainTestAccess::LineNumbersLabel(*Window)->isVisible(),
            Window->StatusText(),
            GridTexts(1),
            GridTexts(2)};
  }

  // The column layout's result for column 1: half the grid beside column 0.
  int HalfOfTheGrid() {
    const int client = Grid().width() - 2 * Grid().frameWidth();
    return int(std::nearbyint((client - Grid().ColWidth(0)) / 2.0));
  }

  QDialog* Shown = nullptr;  // the dialog of the last opening
  bool TimerWasRunning = false;  // the new window had started its layout timer
};
