#pragma once
// The settings dialog: the six comparison options, the grid's display switches, its font and the
// four colours. It only edits its controls; the main window fills it before showing it and takes
// the values over when the user confirms with OK (the dialog's tag is then 1).

#include "view/colorvalue.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TUserInterface;

// A colour swatch: a plain filled rectangle that opens the colour chooser when clicked.
class TColorSwatch : public QWidget {
  Q_OBJECT

public:
  explicit TColorSwatch(QWidget* parent);
  TColorValue Value() const { return FValue; }
  void SetValue(TColorValue value);

signals:
  void Released();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  TColorValue FValue = 0;
};

class TfrmSettings : public QDialog {
  Q_OBJECT

public:
  TfrmSettings(TUserInterface& ui, QWidget* parent = nullptr);

  int Tag() const { return FTag; }
  // The size the grid font had when the main window was created; "Set Defaults" goes back to it.
  void SetDefaultFontSize(int points) { FDefaultFontSize = points; }

  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void btnChangeFontClick();
  void btnColorAddedLinesMouseUp(TColorSwatch* swatch);

  QGroupBox* GroupBox1;
  QCheckBox* chkIgnoreCase;
  QCheckBox* chkIgnoreWhitespace;
  QCheckBox* chkIgnoreWSAmount;
  QCheckBox* chkIgnoreTrailingWS;
  QCheckBox* chkIgnoreLeadingWS;
  QCheckBox* chkIgnoreBlankLines;
  QGroupBox* GroupBox2;
  QCheckBox* chkShowLineNumbers;
  QCheckBox* chkShowGridLines;
  QPushButton* btnChangeFont;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  TColorSwatch* btnColorAddedLines;
  TColorSwatch* btnColorRemovedLines;
  TColorSwatch* btnColorChangedLines;
  TColorSwatch* btnColorDifferentTextInLine;
  QPushButton* Button3;
  QPushButton* Button1;
  QPushButton* Button2;

  // The font chooser's font: face, size and colour.
  QFont FontDialog1Font;
  TColorValue FontDialog1Color = clWindowText;

protected:
  void showEvent(QShowEvent* event) override;

private:
  QCheckBox* AddCheckBox(QWidget* parent, int y);
  TColorSwatch* AddSwatch(QLabel*& label, int y);
  QPushButton* AddButton(int x, void (TfrmSettings::*handler)());

  TUserInterface& FUi;
  int FTag = 0;
  int FDefaultFontSize = 11;
};
