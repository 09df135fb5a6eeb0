#include "settings/settingsdialog.h"

#include "app/userinterface.h"
#include "i18n/translations.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 610;
constexpr int kClientHeight = 270;
}  // namespace

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) {
  setFixedSize(126, 22);
  setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetValue(TColorValue value) {
  FValue = value;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorFromValue(FValue, palette()));
}

void TColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  emit Released();
}

TfrmSettings::TfrmSettings(TUserInterface& ui, QWidget* parent) : QDialog(parent), FUi(ui) {
  setFixedSize(kClientWidth, kClientHeight);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  GroupBox1 = new QGroupBox(this);
  GroupBox1->setGeometry(8, 8, 300, 216);
  chkIgnoreCase = AddCheckBox(GroupBox1, 24);
  chkIgnoreWhitespace = AddCheckBox(GroupBox1, 54);
  chkIgnoreWSAmount = AddCheckBox(GroupBox1, 84);
  chkIgnoreTrailingWS = AddCheckBox(GroupBox1, 114);
  chkIgnoreLeadingWS = AddCheckBox(GroupBox1, 144);
  chkIgnoreBlankLines = AddCheckBox(GroupBox1, 174);
  GroupBox2 = new QGroupBox(this);
  GroupBox2->setGeometry(316, 8, 286, 216);
  chkShowLineNumbers = AddCheckBox(GroupBox2, 24);
  chkShowGridLines = AddCheckBox(GroupBox2, 48);
  btnChangeFont = new QPushButton(GroupBox2);
  btnChangeFont->setGeometry(150, 30, 126, 26);
  btnChangeFont->setAutoDefault(false);
  connect(btnChangeFont, &QPushButton::clicked, this, [this] { btnChangeFontClick(); });
  btnColorAddedLines = AddSwatch(Label2, 84);
  btnColorRemovedLines = AddSwatch(Label3, 114);
  btnColorChangedLines = AddSwatch(Label4, 144);
  btnColorDifferentTextInLine = AddSwatch(Label5, 174);
  Button3 = AddButton(8, &TfrmSettings::Button3Click);
  Button1 = AddButton(kClientWidth - 2 * 96 - 16, &TfrmSettings::Button1Click);
  Button2 = AddButton(kClientWidth - 96 - 8, &TfrmSettings::Button2Click);
  FontDialog1Font = QFont(QStringLiteral("Courier New"), FDefaultFontSize);
}

QCheckBox* TfrmSettings::AddCheckBox(QWidget* parent, int y) {
  auto* box = new QCheckBox(parent);
  box->setGeometry(12, y, parent->width() - 24, 22);
  return box;
}

TColorSwatch* TfrmSettings::AddSwatch(QLabel*& label, int y) {
  label = new QLabel(GroupBox2);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(12, y, 136, 22);
  auto* swatch = new TColorSwatch(GroupBox2);
  swatch->move(150, y);
  connect(swatch, &TColorSwatch::Released, this, [this, swatch] { btnColorAddedLinesMouseUp(swatch); });
  return swatch;
}

QPushButton* TfrmSettings::AddButton(int x, void (TfrmSettings::*handler)()) {
  auto* button = new QPushButton(this);
  button->setGeometry(x, kClientHeight - 38, 96, 28);
  // Neither Enter nor Escape presses a button of this dialog.
  button->setAutoDefault(false);
  button->setDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  return button;
}

void TfrmSettings::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TfrmSettings::FormShow() {
  FTag = 0;
  const auto text = [](auto* control, const char* english) { control->setText(Translate(QString::fromUtf8(english))); };
  setWindowTitle(Translate(QStringLiteral("Settings")));
  GroupBox1->setTitle(Translate(QStringLiteral("Comparison")));
  text(chkIgnoreCase, "Ignore case");
  text(chkIgnoreWhitespace, "Ignore all whitespaces ");
  text(chkIgnoreWSAmount, "Ignore changes in amount of white space in line");
  text(chkIgnoreTrailingWS, "Ignore trailing white space");
  text(chkIgnoreLeadingWS, "Ignore leading white space");
  text(chkIgnoreBlankLines, "Ignore blank lines");
  GroupBox2->setTitle(Translate(QStringLiteral("Grid")));
  text(chkShowLineNumbers, "Show Line Numbers");
  text(chkShowGridLines, "Show Grid Lines");
  text(btnChangeFont, "Change Font...");
  text(Label2, "Added Lines:");
  text(Label3, "Removed Lines:");
  text(Label4, "Changed Lines:");
  text(Label5, "Different text (bkgr):");
  text(Button3, "Set Defaults");
  text(Button1, "OK");
  text(Button2, "Cancel");
}

void TfrmSettings::Button1Click() {
  FTag = 1;
  close();
}

void TfrmSettings::Button2Click() { close(); }

void TfrmSettings::Button3Click() {
  for (QCheckBox* option : {chkIgnoreCase, chkIgnoreWhitespace, chkIgnoreWSAmount, chkIgnoreTrailingWS,
                            chkIgnoreLeadingWS, chkIgnoreBlankLines})
    option->setChecked(false);
  chkShowLineNumbers->setChecked(true);
  chkShowGridLines->setChecked(true);
  FontDialog1Font = QFont(QStringLiteral("Courier New"), FDefaultFontSize);
  FontDialog1Color = clWindowText;
  btnColorAddedLines->SetValue(clDefaultAddedLines);
  btnColorRemovedLines->SetValue(clDefaultRemovedLines);
  btnColorChangedLines->SetValue(clDefaultChangedLines);
  btnColorDifferentTextInLine->SetValue(clDefaultDifferentText);
}

void TfrmSettings::btnChangeFontClick() {
  QFont font = FontDialog1Font;
  QColor colour = ColorFromValue(FontDialog1Color, palette());
  if (!FUi.ChooseFont(font, colour)) return;
  FontDialog1Font = font;
  if (colour != ColorFromValue(FontDialog1Color, palette())) FontDialog1Color = ValueFromColor(colour);
}

void TfrmSettings::btnColorAddedLinesMouseUp(TColorSwatch* swatch) {
  QColor colour = ColorFromValue(swatch->Value(), palette());
  if (FUi.ChooseColor(colour)) swatch->SetValue(ValueFromColor(colour));
}
