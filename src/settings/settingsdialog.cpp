#include "settings/settingsdialog.h"

#include "app/userinterface.h"
#include "i18n/translations.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int kClientWidth = 610;
constexpr int kClientHeight = 270;
// The designed widths of the two groups, of the labels and buttons, and where the right-hand
// column of the grid group (font button, swatches) starts.
constexpr int kOptionsWidth = 300;
constexpr int kGridWidth = 286;
constexpr int kLabelWidth = 136;
constexpr int kFontButtonWidth = 126;
constexpr int kButtonWidth = 96;
constexpr int kSecondColumn = 150;

template <typename Control>
int WidestText(const QList<Control*>& controls, int atLeast) {
  for (Control* control : controls) atLeast = std::max(atLeast, control->sizeHint().width());
  return atLeast;
}

void SetWidth(QWidget* control, int width) { control->resize(width, control->height()); }

// A translated text may need more room than the design gives it (and fonts differ between
// systems): the controls, the groups and with them the dialog grow until every text fits. The
// designed layout is the smallest.
void FitToTexts(TfrmSettings& d) {
  const QList<QCheckBox*> options{d.chkIgnoreCase, d.chkIgnoreWhitespace, d.chkIgnoreWSAmount,
                                  d.chkIgnoreTrailingWS, d.chkIgnoreLeadingWS, d.chkIgnoreBlankLines};
  const QList<QCheckBox*> switches{d.chkShowLineNumbers, d.chkShowGridLines};
  const QList<QLabel*> labels{d.Label2, d.Label3, d.Label4, d.Label5};
  const QList<QPushButton*> buttons{d.Button1, d.Button2, d.Button3};
  const int optionsWidth = std::max(kOptionsWidth, WidestText(options, 0) + 24);
  SetWidth(d.GroupBox1, optionsWidth);
  for (QCheckBox* option : options) SetWidth(option, optionsWidth - 24);

  // The two switches stand left of the font button, the labels left of their swatches.
  const int fontX = std::max(kSecondColumn, 12 + WidestText(switches, 0) + 8);
  const int fontWidth = std::max(kFontButtonWidth, d.btnChangeFont->sizeHint().width());
  d.btnChangeFont->setGeometry(fontX, d.btnChangeFont->y(), fontWidth, d.btnChangeFont->height());
  for (QCheckBox* option : switches) SetWidth(option, fontX - 8 - 12);
  const int labelWidth = WidestText(labels, kLabelWidth);
  const int swatchX = std::max(kSecondColumn, 12 + labelWidth + 2);
  for (QLabel* label : labels) SetWidth(label, labelWidth);
  for (TColorSwatch* swatch : {d.btnColorAddedLines, d.btnColorRemovedLines, d.btnColorChangedLines,
                               d.btnColorDifferentTextInLine})
    swatch->move(swatchX, swatch->y());
  const int gridWidth = std::max({kGridWidth, fontX + fontWidth + 10, swatchX + d.btnColorAddedLines->width() + 10});
  d.GroupBox2->setGeometry(8 + optionsWidth + 8, d.GroupBox2->y(), gridWidth, d.GroupBox2->height());

  const int client = 8 + optionsWidth + 8 + gridWidth + 8;
  const int buttonWidth = WidestText(buttons, kButtonWidth);
  for (QPushButton* button : buttons) SetWidth(button, buttonWidth);
  d.Button2->move(client - 8 - buttonWidth, d.Button2->y());
  d.Button1->move(d.Button2->x() - 8 - buttonWidth, d.Button1->y());
  // Set before the dialog centres itself on the main window as it is shown.
  d.setFixedSize(client, kClientHeight);
}
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
  FitToTexts(*this);
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
