#pragma once
// A stand-in for the desktop: records every message box, beep, pointer change and shell call of
// the window, and answers confirmations and choosers from queues the test fills.

#include "app/userinterface.h"

#include <QDialog>
#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>
#include <optional>

struct TRecordedMessage {
  TMessageKind Kind;
  QString Text;
};

class TRecordingUserInterface : public TUserInterface {
public:
  void ShowMessage(TMessageKind kind, const QString& text) override { Messages.append({kind, text}); }
  bool Confirm(const QString& text) override {
    Confirmations.append(text);
    return ConfirmAnswers.isEmpty() ? false : ConfirmAnswers.dequeue();
  }
  void Beep() override { ++Beeps; }
  void SetPointer(TPointer pointer) override { Pointers.append(pointer); }
  QString ChooseOpenFile(const QString& startFolder) override {
    OpenFolders.append(startFolder);
    return OpenAnswers.isEmpty() ? QString() : OpenAnswers.dequeue();
  }
  QString ChooseSaveFile(const QString& startFolder, const QString& proposedName) override {
    SaveRequests.append(startFolder + QLatin1Char('|') + proposedName);
    return SaveAnswers.isEmpty() ? QString() : SaveAnswers.dequeue();
  }
  bool ChooseFont(QFont& font, QColor& colour) override {
    Q_UNUSED(colour);
    if (!FontAnswer) return false;
    font = *FontAnswer;
    return true;
  }
  bool ChooseColor(QColor& colour) override {
    if (ColorAnswers.isEmpty()) return false;
    colour = ColorAnswers.dequeue();
    return true;
  }
  void OpenUrl(const QUrl& url) override { OpenedUrls.append(url.toString()); }
  void OpenFile(const QString& path) override { OpenedFiles.append(path); }
  // The dialog is shown (so its show handler runs) and the test's script plays the user.
  void ShowModal(QDialog& dialog) override {
    dialog.show();
    if (ModalScript) ModalScript(dialog);
    dialog.close();
  }

  TPointer LastPointer() const { return Pointers.isEmpty() ? crDefault : Pointers.last(); }
  QStringList MessageTexts() const {
    QStringList texts;
    for (const TRecordedMessage& message : Messages) texts.append(message.Text);
    return texts;
  }
  void Clear() {
    Messages.clear();
    Confirmations.clear();
    Beeps = 0;
    Pointers.clear();
  }

  QList<TRecordedMessage> Messages;
  QStringList Confirmations;
  QQueue<bool> ConfirmAnswers;
  int Beeps = 0;
  QList<TPointer> Pointers;
  QStringList OpenFolders;
  QQueue<QString> OpenAnswers;
  QStringList SaveRequests;
  QQueue<QString> SaveAnswers;
  std::optional<QFont> FontAnswer;
  QQueue<QColor> ColorAnswers;
  QStringList OpenedUrls;
  QStringList OpenedFiles;
  std::function<void(QDialog&)> ModalScript;
};
