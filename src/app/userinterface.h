#pragma once
// Everything the window asks of the desktop: message boxes, the warning beep, the mouse pointer,
// the file, font and colour choosers and the shell. Tests replace it with a recorder.

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

enum TMessageKind { mkInformation, mkWarning, mkError };

enum TPointer {
  crDefault,    // the normal arrow
  crHourGlass,  // a synchronous command is running
  crAppStart,   // arrow with hourglass: work goes on in the background
};

class TUserInterface {
public:
  virtual ~TUserInterface() = default;
  // Message box with an OK button; the text is always shown as plain text.
  virtual void ShowMessage(TMessageKind kind, const QString& text) = 0;
  // Confirmation box with the buttons Yes and Cancel; true for Yes.
  virtual bool Confirm(const QString& text) = 0;
  virtual void Beep() = 0;
  virtual void SetPointer(TPointer pointer) = 0;
  // Open-file chooser for existing files; empty when cancelled.
  virtual QString ChooseOpenFile(const QString& startFolder) = 0;
  // Save-file chooser that confirms overwriting; empty when cancelled.
  virtual QString ChooseSaveFile(const QString& startFolder, const QString& proposedName) = 0;
  // Font chooser over face, size and colour; false when cancelled.
  virtual bool ChooseFont(QFont& font, QColor& colour) = 0;
  // Colour chooser; false when cancelled.
  virtual bool ChooseColor(QColor& colour) = 0;
  virtual void OpenUrl(const QUrl& url) = 0;
  // Starts a file with the shell's default action.
  virtual void OpenFile(const QString& path) = 0;
  // Shows a dialog modally; its outcome is read from the dialog afterwards.
  virtual void ShowModal(QDialog& dialog) = 0;
};

// The real desktop, with Qt's dialogs and services. Dialogs are parented to the given window.
class TDesktopUserInterface : public TUserInterface {
public:
  explicit TDesktopUserInterface(QWidget* parent = nullptr) : FParent(parent) {}
  void SetParent(QWidget* parent) { FParent = parent; }
  void ShowMessage(TMessageKind kind, const QString& text) override;
  bool Confirm(const QString& text) override;
  void Beep() override;
  void SetPointer(TPointer pointer) override;
  QString ChooseOpenFile(const QString& startFolder) override;
  QString ChooseSaveFile(const QString& startFolder, const QString& proposedName) override;
  bool ChooseFont(QFont& font, QColor& colour) override;
  bool ChooseColor(QColor& colour) override;
  void OpenUrl(const QUrl& url) override;
  void OpenFile(const QString& path) override;
  void ShowModal(QDialog& dialog) override;

private:
  QWidget* FParent;
  bool FPointerOverridden = false;
};
