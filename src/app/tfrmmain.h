#pragma once
// The main window: a frame that binds the tool bar, menus and grid to the subsystems. It is the
// comparison workspace (the sides, the rows, the options and the undo history), and its command
// handlers live with the subsystem they belong to (src/workspace, src/view, src/settings, ...).

#include "app/userinterface.h"
#include "view/colorvalue.h"
#include "workspace/recompute.h"
#include "workspace/workspace.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QKeyEvent;
class QMouseEvent;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QTimer;
class TDiffGrid;
class TfrmSettings;
struct TSettingsRecord;
class TRowHeightMeasurer;


// Stands for a file chooser: the folder it opens in.
struct TOpenDialog {
  QString InitialDir;
};

class TfrmMain : public QMainWindow, public TWorkspace {
  Q_OBJECT

public:
  // The user interface is the window's link to message boxes, pointers, choosers and the shell;
  // the window does not own it.
  explicit TfrmMain(TUserInterface& ui, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Runs a command under the application's general error handler: an error raised in it is
  // shown in an error box and the command stops there.
  void RunCommand(const std::function<void()>& command);

  // Puts two paths into the path boxes (the program's command line).
  void SetPaths(const QString& left, const QString& right);

  // Command handlers.
  void btnCompareClick();
  void miAutomatically1Click();
  void miAsTextFiles1Click();
  void btnSaveLeftClick();
  void btnSaveRightClick();
  void btnPrevDiffClick();
  void btnNextDiffClick();
  void btnFirstDiffClick();
  void btnLastDiffClick();
  void btnInfoClick();
  void mmExitClick();
  void lbHomepageURLClick();
  void mmSupportClick();
  void mmTutorialClick();
  void btnBrowseLeftClick();
  void btnBrowseRightClick();
  void SpeedButton1MouseUp();
  void miAsFolders1Click();
  void miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click();
  void btnLeftToRightClick();
  void btnRightToLeftClick();
  void btnAllLeftDiffsToRightClick();
  void btnAllRightDiffsToLeftClick();
  void btnUndoClick();
  void ActionUndoExecute();
  void grdDiffDblClick();
  void btnSettingsClick();

  // The grid and its rows.
  TDiffGrid* Grid() const { return grdDiff; }
  QString StatusText() const;
  int BaseRowHeight() const { return FBaseRowHeight; }
  void FormResize();
  void Timer1Timer();
  void UpdateAllRowHeights();
  void UpdateRowHeight(int row);
  void CenterOnRow(int row);

  // Workspace routines shared with the other subsystems.
  void CompareTextFiles(const QString& leftPath, const QString& rightPath);
  void CompareFolders(const QString& leftRoot, const QString& rightRoot);
  void CompareDocuments(const QString& leftPath, const QString& rightPath);
  void RunDiff();
  void FillGridRows();
  void ShowStatistics(const QString& prefix, bool showSummary);

  // The settings dialog, created once after the window; created on first use when none is given.
  void SetSettingsDialog(TfrmSettings* dialog);
  TfrmSettings& SettingsDialog();

  // Settings file.
  void LoadSettings();
  void SaveSettings();
  TSettingsRecord CurrentSettings() const;
  void ApplySettings(const TSettingsRecord& record, int fieldsRead);

  void ApplyLanguage();
  void BuildLanguageMenu();
  void LanguageMenuItemClick(QAction* sender);
  void SaveCurrentLanguage();

  // Background recomputation of the rows after a change of the sides.
  void RecomputeDiffAsync();
  bool RecomputationInProgress() const { return FDiffRecomputeInProgress; }

  // In-cell editing.
  void BeginCellEdit(int col, int row);
  void EndCellEdit(bool accept);
  QPlainTextEdit* CellEditor() const { return FCellEditor; }

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  friend class TfrmMainTestAccess;

  void FormCreate();
  void FormDestroy();
  void CreateToolBar();
  void CreatePathRow();
  void CreateGrid();
  void CreateGettingStarted();
  void CreateStatusBar();
  void CreateMenus();
  void CreatePopup();
  QAction* AddMenuEntry(QMenu* menu, void (TfrmMain::*handler)(), const QKeySequence& shortcut = {});
  QToolButton* AddToolButton(const QString& picture, void (TfrmMain::*handler)(), int width = 50);
  void LayoutClientArea();
  void SetComparisonCommandsEnabled(bool textCommands);
  void ShowGrid();
  bool IsGridSurface(QObject* watched) const;

  bool ConfirmDiscardChanges(const QString& question);
  // The trimmed paths of the two boxes; false after the warning when either is empty.
  bool ReadPathBoxes(QString& leftPath, QString& rightPath, const QString& emptyMessage);
  bool ReadExistingFilePaths(QString& leftPath, QString& rightPath);
  QStringList History(TSide side) const;
  void SetHistory(TSide side, const QStringList& items);
  bool CheckComparedFiles(const QString& leftPath, const QString& rightPath);
  void StartTextComparison();
  void SupersedeRecomputation();
  void UpdateHistories(const QString& leftPath, const QString& rightPath, int mode);
  void SaveSide(TSide side);
  void BrowseSide(TSide side);
  void SetLineNumbersShown(bool shown);
  void SetGridFont(const QString& face, int points, TColorValue colour);
  void CentreOnScreenAt(const QPoint& point);
  bool LineNumbersShown() const;

  void CompleteRecomputation(qint32 jobId, TRecomputeResult& result);
  // Waits for the rows of a pending recomputation; false when the rows do not describe the sides.
  bool WaitForCurrentRows();

  void PushUndoState();
  void BeginChange();
  void EndChange();
  bool StartMerge();
  void CopyBlockCommand(TSide from);
  void CopyBlockLeftToRight(int index);
  void CopyBlockRightToLeft(int index);
  void CopySideCommand(TSide from);
  void UndoLastMerge();

  void CreateCellEditor();
  bool GetEditableLineIndex(int col, int row, int& lineIndex);
  void PlaceCellEditor(int col, int row);
  void CommitCellEdit();
  void CloseCellEditor();
  void CommitOpenEdit();
  bool grdDiffKeyDown(QKeyEvent* event);
  bool CellEditorKeyDown(QKeyEvent* event);
  void CellEditorExit(Qt::FocusReason reason);

  void grdDiffDrawCell(QPainter& painter, int col, int row, const QRect& rect);
  void DrawCurrentRowFrame(QPainter& painter, int col, int row, const QRect& rect);
  int GridClientWidth() const;
  void InvalidateGridRow(int row);
  void grdDiffSelectCell(int col, int row);
  void grdDiffMouseDown(QWidget* surface, QMouseEvent* event);
  void grdDiffMouseUp(QMouseEvent* event);
  QColor ColorOf(TColorValue value) const;
  QColor RowBackground(TDiffKind kind) const;
  int MeasureRowHeight(int row);

  TUserInterface& FUi;

  // Tool bar.
  QWidget* Panel1 = nullptr;
  QToolButton* btnCompare = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* btnPrevDiff = nullptr;
  QToolButton* btnNextDiff = nullptr;
  QToolButton* btnFirstDiff = nullptr;
  QToolButton* btnLastDiff = nullptr;
  QToolButton* btnLeftToRight = nullptr;
  QToolButton* btnRightToLeft = nullptr;
  QToolButton* btnAllLeftDiffsToRight = nullptr;
  QToolButton* btnAllRightDiffsToLeft = nullptr;
  QToolButton* btnUndo = nullptr;
  QToolButton* btnSaveLeft = nullptr;
  QToolButton* btnSaveRight = nullptr;
  QToolButton* btnSettings = nullptr;
  QToolButton* btnInfo = nullptr;
  QLabel* VirtualImage1 = nullptr;
  QLabel* Label1 = nullptr;

  // Path row.
  QLabel* StaticText1 = nullptr;
  QComboBox* cmbLeft = nullptr;
  QToolButton* btnBrowseLeft = nullptr;
  QComboBox* cmbRight = nullptr;
  QToolButton* btnBrowseRight = nullptr;

  TDiffGrid* grdDiff = nullptr;
  QWidget* Panel2 = nullptr;
  QLabel* lblGettingStarted = nullptr;
  QWidget* pnlBottom = nullptr;
  QLabel* lblStatus = nullptr;
  QLabel* lbHomepageURL = nullptr;
  QTimer* Timer1 = nullptr;

  // Menus.
  QMenu* File1 = nullptr;
  QMenu* Compare1 = nullptr;
  QMenu* Browse1 = nullptr;
  QMenu* Edit1 = nullptr;
  QMenu* ools1 = nullptr;
  QMenu* Help1 = nullptr;
  QMenu* mmLanguage = nullptr;
  QAction* mmBrowseLeft = nullptr;
  QAction* mmBrowseRight = nullptr;
  QAction* mmSaveLeft = nullptr;
  QAction* mmSaveRight = nullptr;
  QAction* mmExit = nullptr;
  QAction* mmAutomatically1 = nullptr;
  QAction* mmAsTextFiles1 = nullptr;
  QAction* mmAsComplexDocumentsegPDFDOCXetcwithTIKA1 = nullptr;
  QAction* mmAsFolders1 = nullptr;
  QAction* mmPrevDiff = nullptr;
  QAction* mmNextDiff = nullptr;
  QAction* mmFirstDiff = nullptr;
  QAction* mmLastDiff = nullptr;
  QAction* mmEditSelected = nullptr;
  QAction* mmUndo = nullptr;
  QAction* mmLeftToRight = nullptr;
  QAction* mmRightToLeft = nullptr;
  QAction* mmAllLeftDiffsToRight = nullptr;
  QAction* mmAllRightDiffsToLeft = nullptr;
  QAction* mmSettings = nullptr;
  QAction* mmTutorial = nullptr;
  QAction* mmSupport = nullptr;
  QAction* mmWebsite = nullptr;
  QAction* mmInfo = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* miAutomatically1 = nullptr;
  QAction* miAsTextFiles1 = nullptr;
  QAction* miAsComplexDocumentsegPDFDOCXetcwithTIKA1 = nullptr;
  QAction* miAsFolders1 = nullptr;
  QAction* ActionUndo = nullptr;

  // In-cell editor.
  QPlainTextEdit* FCellEditor = nullptr;
  qint32 FEditingRow = -1;
  qint32 FEditingCol = -1;
  bool FInCellEditCommit = false;

  // Background recomputation.
  qint32 FDiffRecomputeJobId = 0;
  bool FDiffRecomputeInProgress = false;
  bool FRowsOutdated = false;
  std::shared_ptr<TRecomputeChannel> FRecomputeChannel;
  TComputeDiffFunction FComputeDiff = ComputeDiff;

  TOpenDialog dlgOpen1;
  TOpenDialog dlgopen2;

  // Grid layout and painting.
  qint32 iColWidth1 = 0;
  qint32 iColWidth2 = 0;
  bool FInColResize = false;
  qint32 FLastMouseCol = -1;
  qint32 FLastMouseRow = -1;
  qint32 FLastFramedRow = -1;
  qint32 FBaseRowHeight = 0;
  std::unique_ptr<TRowHeightMeasurer> FRowHeights;

  TColorValue fColorAddedLines = 0;
  TColorValue fColorRemovedLines = 0;
  TColorValue fColorChangedLines = 0;
  TColorValue fColorDifferentTextInLine = 0;
  TColorValue FGridFontColor = 0;
  int FDefaultFontSize = 11;
  QString FSettingsFilePath;
  QPointer<TfrmSettings> FSettingsDialog;
  bool FKeepStoredColumns = false;
};
