#include "app/tfrmmain.h"

#include "app/appicons.h"
#include "common/appinfo.h"
#include "common/varnoqueerror.h"
#include "i18n/translations.h"
#include "view/diffgrid.h"
#include "view/rowheights.h"
#include "workspace/comparechoice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Sizes of the window's design.
constexpr int kClientWidth = 1138;
constexpr int kClientHeight = 606;
constexpr int kToolBarHeight = 51;
constexpr int kStatusBarHeight = 28;
constexpr int kPathRowTop = 59;

QFont DesignFont(int pixelSize, const QString& family = QStringLiteral("Tahoma")) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  return font;
}


}  // namespace

TfrmMain::TfrmMain(TUserInterface& ui, QWidget* parent)
    : QMainWindow(parent), FUi(ui), FRecomputeChannel(std::make_shared<TRecomputeChannel>(this)) {
  setCentralWidget(new QWidget(this));
  centralWidget()->installEventFilter(this);
  setFont(DesignFont(11));
  CreateToolBar();
  CreateGrid();
  CreateGettingStarted();
  CreatePathRow();
  CreateStatusBar();
  CreateMenus();
  CreatePopup();
  Timer1 = new QTimer(this);
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  FormCreate();
}

TfrmMain::~TfrmMain() {
  FRecomputeChannel->Close();
  FormDestroy();
}

void TfrmMain::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const EVarnoqueError& error) {
    FUi.SetPointer(crDefault);
    FUi.ShowMessage(mkError, error.Message());
  } catch (const std::bad_alloc&) {
    FUi.SetPointer(crDefault);
    FUi.ShowMessage(mkError, Translate(QStringLiteral("Out of memory.")));
  } catch (const std::exception& error) {
    FUi.SetPointer(crDefault);
    FUi.ShowMessage(mkError, QString::fromUtf8(error.what()));
  }
}

void TfrmMain::FormCreate() {
  setWindowTitle(appinfo::Title() + QLatin1Char(' ') + appinfo::VersionText());
  lbHomepageURL->setText(appinfo::WebAddress());
  FRowHeights = std::make_unique<TRowHeightMeasurer>(grdDiff->font());
  FBaseRowHeight = FRowHeights->BaseRowHeight();
  grdDiff->SetDefaultRowHeight(FBaseRowHeight);
  FLastFramedRow = -1;
  CreateCellEditor();
  FDefaultFontSize = grdDiff->font().pointSize();
  lblGettingStarted->setText(Translate(QStringLiteral("Select 2 Files or 2 Folders")) + kCrLf +
                             Translate(QStringLiteral("Then click on \"Compare\"")));
  SetDiffOptions(TDiffOptions());
  fColorAddedLines = clDefaultAddedLines;
  fColorRemovedLines = clDefaultRemovedLines;
  fColorChangedLines = clDefaultChangedLines;
  fColorDifferentTextInLine = clDefaultDifferentText;
  FGridFontColor = clWindowText;
  LoadSettings();
  lblStatus->setText(Translate(QStringLiteral("Ready.")));
  Timer1->start();
  FLastMouseCol = -1;
  FLastMouseRow = -1;
  BuildLanguageMenu();
  ApplyLanguage();
}

void TfrmMain::FormDestroy() {
  Timer1->stop();
  SaveSettings();
  ClearUndoStack();
}

void TfrmMain::closeEvent(QCloseEvent* event) { event->accept(); }

void TfrmMain::mmExitClick() { close(); }

// ---------------------------------------------------------------------------------------------
// The window's design

QToolButton* TfrmMain::AddToolButton(const QString& picture, void (TfrmMain::*handler)(), int width) {
  auto* button = new QToolButton(Panel1);
  button->setAutoRaise(true);
  button->setFixedSize(width, kToolBarHeight);
  button->setIcon(AppIcon(picture));
  button->setIconSize(width < 32 ? QSize(16, 16) : QSize(32, 32));
  button->setFocusPolicy(Qt::NoFocus);
  if (handler) connect(button, &QToolButton::clicked, this, [this, handler] { RunCommand([=, this] { (this->*handler)(); }); });
  return button;
}

void TfrmMain::CreateToolBar() {
  Panel1 = new QWidget(centralWidget());
  Panel1->setObjectName(QStringLiteral("Panel1"));
  btnCompare = AddToolButton(QStringLiteral("search"), &TfrmMain::btnCompareClick, 51);
  SpeedButton1 = AddToolButton(QStringLiteral("dropdown"), nullptr, 19);
  SpeedButton1->installEventFilter(this);
  btnPrevDiff = AddToolButton(QStringLiteral("arrow-up"), &TfrmMain::btnPrevDiffClick);
  btnNextDiff = AddToolButton(QStringLiteral("arrow-down"), &TfrmMain::btnNextDiffClick);
  btnFirstDiff = AddToolButton(QStringLiteral("first"), &TfrmMain::btnFirstDiffClick);
  btnLastDiff = AddToolButton(QStringLiteral("last"), &TfrmMain::btnLastDiffClick);
  btnLeftToRight = AddToolButton(QStringLiteral("copy-to-right"), &TfrmMain::btnLeftToRightClick);
  btnRightToLeft = AddToolButton(QStringLiteral("copy-to-left"), &TfrmMain::btnRightToLeftClick);
  btnAllLeftDiffsToRight = AddToolButton(QStringLiteral("copy-all-to-right"), &TfrmMain::btnAllLeftDiffsToRightClick);
  btnAllRightDiffsToLeft = AddToolButton(QStringLiteral("copy-all-to-left"), &TfrmMain::btnAllRightDiffsToLeftClick);
  btnUndo = AddToolButton(QStringLiteral("undo2"), &TfrmMain::btnUndoClick);
  btnSaveLeft = AddToolButton(QStringLiteral("save1"), &TfrmMain::btnSaveLeftClick);
  btnSaveRight = AddToolButton(QStringLiteral("save2"), &TfrmMain::btnSaveRightClick);
  btnSettings = AddToolButton(QStringLiteral("settings"), &TfrmMain::btnSettingsClick);
  btnInfo = AddToolButton(QStringLiteral("question-mark"), &TfrmMain::btnInfoClick);
  // Small gaps between the groups: compare, browse, merge, undo and save, tools.
  const QList<QToolButton*> order{btnCompare, SpeedButton1, btnPrevDiff, btnNextDiff, btnFirstDiff,
                                  btnLastDiff, btnLeftToRight, btnRightToLeft, btnAllLeftDiffsToRight,
                                  btnAllRightDiffsToLeft, btnUndo, btnSaveLeft, btnSaveRight, btnSettings, btnInfo};
  const QList<QToolButton*> groupStarts{btnPrevDiff, btnLeftToRight, btnUndo, btnSettings};
  int x = 4;
  for (QToolButton* button : order) {
    if (groupStarts.contains(button)) x += 8;
    button->move(x, 0);
    x += button->width();
  }
  for (QToolButton* button : order.mid(2, 11)) button->setEnabled(false);

  VirtualImage1 = new QLabel(Panel1);
  VirtualImage1->setPixmap(AppIcon(QStringLiteral("bubble")).pixmap(QSize(24, 24)));
  VirtualImage1->setFixedSize(27, kToolBarHeight);
  VirtualImage1->setAlignment(Qt::AlignCenter);
  Label1 = new QLabel(Panel1);
  Label1->setFont(DesignFont(12));
  Label1->setWordWrap(true);
  Label1->setFixedSize(153, kToolBarHeight);
  Label1->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  Label1->setTextFormat(Qt::PlainText);
}

void TfrmMain::CreatePathRow() {
  QWidget* client = centralWidget();
  StaticText1 = new QLabel(client);
  // The caption keeps to the room before the left path box; a long translation takes two lines.
  StaticText1->setGeometry(11, 53, 90, 30);
  StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  StaticText1->setWordWrap(true);
  StaticText1->setTextFormat(Qt::PlainText);
  auto makeBox = [client](int x, int width) {
    auto* box = new QComboBox(client);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->setGeometry(x, kPathRowTop, width, 21);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
  };
  auto makeBrowse = [this, client](int x, void (TfrmMain::*handler)()) {
    auto* button = new QToolButton(client);
    button->setText(QStringLiteral("..."));
    button->setGeometry(x, kPathRowTop, 34, 21);
    connect(button, &QToolButton::clicked, this, [this, handler] { RunCommand([=, this] { (this->*handler)(); }); });
    return button;
  };
  cmbLeft = makeBox(104, 380);
  btnBrowseLeft = makeBrowse(489, &TfrmMain::btnBrowseLeftClick);
  cmbRight = makeBox(536, 525);
  btnBrowseRight = makeBrowse(1069, &TfrmMain::btnBrowseRightClick);
}

void TfrmMain::CreateGettingStarted() {
  Panel2 = new QWidget(centralWidget());
  Panel2->setObjectName(QStringLiteral("Panel2"));
  lblGettingStarted = new QLabel(Panel2);
  lblGettingStarted->setFont(DesignFont(15, QStringLiteral("Courier New")));
  lblGettingStarted->setAlignment(Qt::AlignCenter);
  lblGettingStarted->setWordWrap(true);
  lblGettingStarted->setTextFormat(Qt::PlainText);
}

void TfrmMain::CreateStatusBar() {
  pnlBottom = new QFrame(centralWidget());
  static_cast<QFrame*>(pnlBottom)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblStatus = new QLabel(pnlBottom);
  lblStatus->setTextFormat(Qt::PlainText);
  lblStatus->move(8, 7);
  lbHomepageURL = new QLabel(pnlBottom);
  lbHomepageURL->setTextFormat(Qt::PlainText);
  lbHomepageURL->setCursor(Qt::PointingHandCursor);
  QPalette link = lbHomepageURL->palette();
  link.setColor(QPalette::WindowText, link.color(QPalette::Link));
  lbHomepageURL->setPalette(link);
  lbHomepageURL->installEventFilter(this);
}

QAction* TfrmMain::AddMenuEntry(QMenu* menu, void (TfrmMain::*handler)(), const QKeySequence& shortcut) {
  QAction* action = menu->addAction(QString());
  action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, handler] { RunCommand([=, this] { (this->*handler)(); }); });
  return action;
}

void TfrmMain::CreateMenus() {
  QMenuBar* bar = menuBar();
  File1 = bar->addMenu(QString());
  mmBrowseLeft = AddMenuEntry(File1, &TfrmMain::btnBrowseLeftClick);
  mmBrowseRight = AddMenuEntry(File1, &TfrmMain::btnBrowseRightClick);
  File1->addSeparator();
  mmSaveLeft = AddMenuEntry(File1, &TfrmMain::btnSaveLeftClick);
  mmSaveRight = AddMenuEntry(File1, &TfrmMain::btnSaveRightClick);
  File1->addSeparator();
  mmExit = AddMenuEntry(File1, &TfrmMain::mmExitClick);

  Compare1 = bar->addMenu(QString());
  mmAutomatically1 = AddMenuEntry(Compare1, &TfrmMain::miAutomatically1Click);
  Compare1->addSeparator();
  mmAsTextFiles1 = AddMenuEntry(Compare1, &TfrmMain::miAsTextFiles1Click);
  mmAsComplexDocumentsegPDFDOCXetcwithTIKA1 =
      AddMenuEntry(Compare1, &TfrmMain::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click);
  mmAsFolders1 = AddMenuEntry(Compare1, &TfrmMain::miAsFolders1Click);

  Browse1 = bar->addMenu(QString());
  mmPrevDiff = AddMenuEntry(Browse1, &TfrmMain::btnPrevDiffClick, QKeySequence(Qt::CTRL | Qt::Key_P));
  mmNextDiff = AddMenuEntry(Browse1, &TfrmMain::btnNextDiffClick, QKeySequence(Qt::CTRL | Qt::Key_N));
  Browse1->addSeparator();
  mmFirstDiff = AddMenuEntry(Browse1, &TfrmMain::btnFirstDiffClick, QKeySequence(Qt::CTRL | Qt::Key_F));
  mmLastDiff = AddMenuEntry(Browse1, &TfrmMain::btnLastDiffClick, QKeySequence(Qt::CTRL | Qt::Key_L));

  Edit1 = bar->addMenu(QString());
  mmEditSelected = AddMenuEntry(Edit1, &TfrmMain::grdDiffDblClick, QKeySequence(Qt::Key_F2));
  Edit1->addSeparator();
  mmUndo = AddMenuEntry(Edit1, &TfrmMain::btnUndoClick);
  Edit1->addSeparator();
  mmLeftToRight = AddMenuEntry(Edit1, &TfrmMain::btnLeftToRightClick);
  mmRightToLeft = AddMenuEntry(Edit1, &TfrmMain::btnRightToLeftClick);
  mmAllLeftDiffsToRight = AddMenuEntry(Edit1, &TfrmMain::btnAllLeftDiffsToRightClick);
  mmAllRightDiffsToLeft = AddMenuEntry(Edit1, &TfrmMain::btnAllRightDiffsToLeftClick);

  ools1 = bar->addMenu(QString());
  mmSettings = AddMenuEntry(ools1, &TfrmMain::btnSettingsClick);
  ools1->addSeparator();
  mmLanguage = ools1->addMenu(QString());

  Help1 = bar->addMenu(QString());
  mmTutorial = AddMenuEntry(Help1, &TfrmMain::mmTutorialClick);
  Help1->addSeparator();
  mmSupport = AddMenuEntry(Help1, &TfrmMain::mmSupportClick);
  mmWebsite = AddMenuEntry(Help1, &TfrmMain::lbHomepageURLClick);
  Help1->addSeparator();
  mmInfo = AddMenuEntry(Help1, &TfrmMain::btnInfoClick);

  for (QAction* entry : {mmSaveLeft, mmSaveRight, mmPrevDiff, mmNextDiff, mmFirstDiff, mmLastDiff, mmEditSelected,
                         mmUndo, mmLeftToRight, mmRightToLeft, mmAllLeftDiffsToRight, mmAllRightDiffsToLeft})
    entry->setEnabled(false);

  // Ctrl+Z works in the whole window, whatever the state of the Undo entry.
  ActionUndo = new QAction(this);
  ActionUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  ActionUndo->setShortcutContext(Qt::WindowShortcut);
  connect(ActionUndo, &QAction::triggered, this, [this] { RunCommand([this] { ActionUndoExecute(); }); });
  addAction(ActionUndo);
}

void TfrmMain::CreatePopup() {
  PopupMenu1 = new QMenu(this);
  miAutomatically1 = AddMenuEntry(PopupMenu1, &TfrmMain::miAutomatically1Click);
  PopupMenu1->setDefaultAction(miAutomatically1);
  PopupMenu1->addSeparator();
  miAsTextFiles1 = AddMenuEntry(PopupMenu1, &TfrmMain::miAsTextFiles1Click);
  miAsComplexDocumentsegPDFDOCXetcwithTIKA1 =
      AddMenuEntry(PopupMenu1, &TfrmMain::miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click);
  miAsFolders1 = AddMenuEntry(PopupMenu1, &TfrmMain::miAsFolders1Click);
}

// Tool bar on top, status bar at the bottom, and the getting-started panel or the grid between.
void TfrmMain::LayoutClientArea() {
  const QSize client = centralWidget()->size();
  Panel1->setGeometry(0, 0, client.width(), kToolBarHeight);
  Label1->move(client.width() - 10 - Label1->width(), 0);
  VirtualImage1->move(Label1->x() - VirtualImage1->width(), 0);
  pnlBottom->setGeometry(0, client.height() - kStatusBarHeight, client.width(), kStatusBarHeight);
  lbHomepageURL->adjustSize();
  lbHomepageURL->move(pnlBottom->width() - 10 - lbHomepageURL->width(), (kStatusBarHeight - lbHomepageURL->height()) / 2);
  lblStatus->resize(std::max(0, lbHomepageURL->x() - 16), lblStatus->sizeHint().height());
  const QRect middle(0, kToolBarHeight, client.width(), client.height() - kToolBarHeight - kStatusBarHeight);
  Panel2->setGeometry(middle);
  lblGettingStarted->setGeometry(Panel2->rect());
  grdDiff->setGeometry(Panel2->isHidden() ? middle : QRect(middle.topLeft(), QSize(middle.width(), 1)));
}

void TfrmMain::ShowGrid() {
  if (Panel2->isHidden()) return;
  Panel2->hide();
  LayoutClientArea();
  // From now on the right column leaves room for the scroll bar: the next layout tick runs
  // even though no column changed.
  iColWidth2 = 0;
}

bool TfrmMain::IsGridSurface(QObject* watched) const {
  return grdDiff && (watched == grdDiff->viewport() || watched == grdDiff->horizontalHeader()->viewport());
}

void TfrmMain::SetComparisonCommandsEnabled(bool textCommands) {
  for (QWidget* button : {btnPrevDiff, btnNextDiff, btnFirstDiff, btnLastDiff}) button->setEnabled(true);
  for (QAction* entry : {mmPrevDiff, mmNextDiff, mmFirstDiff, mmLastDiff}) entry->setEnabled(true);
  for (QWidget* button : {btnLeftToRight, btnRightToLeft, btnSaveLeft, btnSaveRight, btnUndo, btnAllLeftDiffsToRight,
                          btnAllRightDiffsToLeft})
    button->setEnabled(textCommands);
  for (QAction* entry : {mmLeftToRight, mmRightToLeft, mmSaveLeft, mmSaveRight, mmUndo, mmAllLeftDiffsToRight,
                         mmAllRightDiffsToLeft, mmEditSelected})
    entry->setEnabled(textCommands);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  bool swallowed = false;
  if (watched == centralWidget() && type == QEvent::Resize) {
    LayoutClientArea();
    if (!std::exchange(FKeepStoredColumns, false)) FormResize();
    UpdateAllRowHeights();
  } else if (watched == grdDiff && type == QEvent::KeyPress) {
    RunCommand([&] { swallowed = grdDiffKeyDown(static_cast<QKeyEvent*>(event)); });
  } else if (watched == FCellEditor && type == QEvent::KeyPress) {
    RunCommand([&] { swallowed = CellEditorKeyDown(static_cast<QKeyEvent*>(event)); });
  } else if (watched == FCellEditor && type == QEvent::FocusOut) {
    RunCommand([&] { CellEditorExit(static_cast<QFocusEvent*>(event)->reason()); });
  } else if (type == QEvent::MouseButtonPress && IsGridSurface(watched)) {
    grdDiffMouseDown(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
  } else if (type == QEvent::MouseButtonRelease && IsGridSurface(watched)) {
    grdDiffMouseUp(static_cast<QMouseEvent*>(event));
  } else if (watched == SpeedButton1 && type == QEvent::MouseButtonRelease) {
    SpeedButton1MouseUp();
  } else if (watched == lbHomepageURL) {
    const bool enter = type == QEvent::Enter;
    if (enter || type == QEvent::Leave) {
      QFont font = lbHomepageURL->font();
      font.setUnderline(enter);
      font.setBold(false);
      font.setItalic(false);
      font.setStrikeOut(false);
      lbHomepageURL->setFont(font);
    }
    if (type == QEvent::MouseButtonRelease) RunCommand([this] { lbHomepageURLClick(); });
  }
  if (swallowed) return true;
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Paths, links and the About box

void TfrmMain::SetPaths(const QString& left, const QString& right) {
  cmbLeft->setEditText(left);
  cmbRight->setEditText(right);
}

QString TfrmMain::StatusText() const { return lblStatus->text(); }

QStringList TfrmMain::History(TSide side) const {
  const QComboBox* box = side == sdLeft ? cmbLeft : cmbRight;
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items.append(box->itemText(i));
  return items;
}

// The box keeps the text it shows while its list changes.
void TfrmMain::SetHistory(TSide side, const QStringList& items) {
  QComboBox* box = side == sdLeft ? cmbLeft : cmbRight;
  const QString text = box->currentText();
  box->clear();
  box->addItems(items);
  box->setEditText(text);
}

void TfrmMain::SpeedButton1MouseUp() {
  PopupMenu1->popup(SpeedButton1->mapToGlobal(QPoint(0, SpeedButton1->height())));
}

void TfrmMain::btnInfoClick() {
  const QStringList lines{
      appinfo::Title(),
      Translate(QStringLiteral("Version:")) + QLatin1Char(' ') + appinfo::VersionText(),
      QString(),
      QStringLiteral("\u00A9 ") + QString::number(QDate::currentDate().year()) + QLatin1Char(' ') +
          Translate(QStringLiteral("The Varnoque developers")),
      Translate(QStringLiteral("Website:")) + QLatin1Char(' ') + appinfo::WebHost(),
      QString(),
      Translate(QStringLiteral("This program comes without any warranty, to the extent permitted by law.")),
      QString(),
      Translate(QStringLiteral("Built with Qt")) + QLatin1Char(' ') + QString::fromLatin1(qVersion()),
  };
  FUi.ShowMessage(mkInformation, lines.join(kCrLf));
}

void TfrmMain::lbHomepageURLClick() { FUi.OpenUrl(QUrl(appinfo::WebAddress())); }

void TfrmMain::mmSupportClick() { FUi.OpenUrl(QUrl(appinfo::WebAddress() + QStringLiteral("/contact"))); }

void TfrmMain::mmTutorialClick() {
  FUi.OpenUrl(QUrl(appinfo::WebAddress() + QStringLiteral("/redirect/tutorial-varnoque.html")));
}

void TfrmMain::btnBrowseLeftClick() { BrowseSide(sdLeft); }

void TfrmMain::btnBrowseRightClick() { BrowseSide(sdRight); }

void TfrmMain::BrowseSide(TSide side) {
  QComboBox* box = side == sdLeft ? cmbLeft : cmbRight;
  TOpenDialog& dialog = side == sdLeft ? dlgOpen1 : dlgopen2;
  const QString folder = SplitFolderAndName(box->currentText()).first;
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.InitialDir = folder;
  const QString chosen = FUi.ChooseOpenFile(dialog.InitialDir);
  if (chosen.isEmpty()) return;
  box->setEditText(QDir::toNativeSeparators(chosen));
  dialog.InitialDir = QFileInfo(chosen).absolutePath();
}
