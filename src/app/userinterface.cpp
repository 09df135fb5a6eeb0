#include "app/userinterface.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QMessageBox>

void TDesktopUserInterface::ShowMessage(TMessageKind kind, const QString& text) {
  static const QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                            QMessageBox::Critical};
  QMessageBox box(icons[kind], QApplication::applicationName(), text, QMessageBox::Ok, FParent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool TDesktopUserInterface::Confirm(const QString& text) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                  QMessageBox::Yes | QMessageBox::Cancel, FParent);
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

void TDesktopUserInterface::Beep() { QApplication::beep(); }

void TDesktopUserInterface::SetPointer(TPointer pointer) {
  if (FPointerOverridden) QGuiApplication::restoreOverrideCursor();
  FPointerOverridden = pointer != crDefault;
  if (pointer == crHourGlass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (pointer == crAppStart) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

QString TDesktopUserInterface::ChooseOpenFile(const QString& startFolder) {
  QFileDialog dialog(FParent, QString(), startFolder);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QString TDesktopUserInterface::ChooseSaveFile(const QString& startFolder, const QString& proposedName) {
  QFileDialog dialog(FParent, QString(), startFolder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

bool TDesktopUserInterface::ChooseFont(QFont& font, QColor& colour) {
  Q_UNUSED(colour);  // Qt's font chooser has no colour; the colour is kept as it is.
  bool ok = false;
  QFont chosen = QFontDialog::getFont(&ok, font, FParent);
  if (ok) font = chosen;
  return ok;
}

bool TDesktopUserInterface::ChooseColor(QColor& colour) {
  QColor chosen = QColorDialog::getColor(colour, FParent);
  if (!chosen.isValid()) return false;
  colour = chosen;
  return true;
}

void TDesktopUserInterface::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

void TDesktopUserInterface::OpenFile(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TDesktopUserInterface::ShowModal(QDialog& dialog) { dialog.exec(); }
