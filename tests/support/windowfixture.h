#pragma once
// The real main window, offscreen, with a recording desktop and files in a temporary folder.

#include "app/tfrmmain.h"
#include "support/recordingui.h"
#include "view/diffgrid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

// Reaches the window's controls and hooks.
class TfrmMainTestAccess {
public:
  static QComboBox* LeftBox(TfrmMain& w) { return w.cmbLeft; }
  static QComboBox* RightBox(TfrmMain& w) { return w.cmbRight; }
  static QToolButton* Button(TfrmMain& w, const char* name) {
    const QString n = QString::fromLatin1(name);
    if (n == "btnUndo") return w.btnUndo;
    if (n == "btnLeftToRight") return w.btnLeftToRight;
    if (n == "btnSaveLeft") return w.btnSaveLeft;
    if (n == "btnPrevDiff") return w.btnPrevDiff;
    if (n == "btnNextDiff") return w.btnNextDiff;
    if (n == "btnCompare") return w.btnCompare;
    return nullptr;
  }
  static QAction* MenuEntry(TfrmMain& w, const char* name) {
    const QString n = QString::fromLatin1(name);
    if (n == "mmUndo") return w.mmUndo;
    if (n == "mmEditSelected") return w.mmEditSelected;
    if (n == "mmSaveLeft") return w.mmSaveLeft;
    if (n == "mmNextDiff") return w.mmNextDiff;
    if (n == "mmExit") return w.mmExit;
    return nullptr;
  }
  static QWidget* GettingStarted(TfrmMain& w) { return w.Panel2; }
  static QLabel* LineNumbersLabel(TfrmMain& w) { return w.StaticText1; }
  static QMenu* LanguageMenu(TfrmMain& w) { return w.mmLanguage; }
  static QMenu* FileMenu(TfrmMain& w) { return w.File1; }
  static QLabel* HintLabel(TfrmMain& w) { return w.Label1; }
  static QLabel* GettingStartedLabel(TfrmMain& w) { return w.lblGettingStarted; }
  static QMenu* PopupMenu(TfrmMain& w) { return w.PopupMenu1; }
  static void SetComputeDiff(TfrmMain& w, TComputeDiffFunction compute) { w.FComputeDiff = std::move(compute); }
  static void SetUnsavedChanges(TfrmMain& w, bool on) { w.FUnsavedChanges = on; }
  static void SetOptions(TfrmMain& w, const TDiffOptions& options) { w.SetDiffOptions(options); }
  static QString SettingsFilePath(TfrmMain& w) { return w.FSettingsFilePath; }
  static TColorValue AddedLinesColour(TfrmMain& w) { return w.fColorAddedLines; }
};

class WindowTest : public ::testing::Test {
protected:
  // Each test has its own settings folder, so no test sees another one's settings file.
  void SetUp() override {
    qputenv("APPDATA", FDir.filePath(QStringLiteral("appdata")).toLocal8Bit());
    MakeWindow();
  }
  void TearDown() override {
    Window.reset();
    qunsetenv("APPDATA");
  }

  void MakeWindow() {
    Window.reset();
    Window = std::make_unique<TfrmMain>(Ui);
    Window->show();
    QCoreApplication::processEvents();
  }

  QString Path(const QString& name) const { return FDir.filePath(name); }

  QString Write(const QString& name, const QByteArray& content) {
    const QString path = Path(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    return path;
  }

  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // Compares two files through the Compare button.
  void Compare(const QString& left, const QString& right) {
    Window->SetPaths(left, right);
    Window->RunCommand([this] { Window->btnCompareClick(); });
  }

  void CompareTexts(const QByteArray& left, const QByteArray& right) {
    Compare(Write(QStringLiteral("left.txt"), left), Write(QStringLiteral("right.txt"), right));
  }

  // Lets the background recomputation hand its rows over.
  void WaitForRows() {
    QElapsedTimer clock;
    clock.start();
    while (Window->RecomputationInProgress() && clock.elapsed() < 30000) QTest::qWait(5);
    ASSERT_FALSE(Window->RecomputationInProgress());
  }

  TDiffGrid& Grid() { return *Window->Grid(); }
  QStringList GridTexts(int col) {
    QStringList texts;
    for (int row = 1; row < Grid().RowCount(); ++row) texts.append(Grid().Cells(col, row));
    return texts;
  }

  QTemporaryDir FDir;
  TRecordingUserInterface Ui;
  std::unique_ptr<TfrmMain> Window;
};
