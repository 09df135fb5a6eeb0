#pragma once
// The update dialog: shows the notice of the version check and offers "Update Now" (download
// the installer, start it, end the program) and "Skip" or, for a required update, "Exit".
// Its tag tells the program entry whether to go on (1) or to end (0).

#include <QDialog>

class QLabel;
class QNetworkReply;
class QProgressBar;
class QPushButton;
class TUserInterface;

class TfrmNewVersion : public QDialog {
  Q_OBJECT

public:
  explicit TfrmNewVersion(TUserInterface& ui, QWidget* parent = nullptr);

  int Tag() const { return FTag; }
  // Where the installer is stored: "qvr_update.exe" in the temporary folder.
  static QString DownloadPath();

  void FormShow();
  void btUpdateNowClick();
  void btCancelClick();

  QLabel* Label1;
  QLabel* VirtualImage1;
  QPushButton* btUpdateNow;
  QPushButton* btCancel;
  QProgressBar* ProgressBar1;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

private:
  void FormClose();
  void Download();
  void DownloadWork(QNetworkReply& reply, qint64 received);
  QString DownloadFailure(QNetworkReply& reply, qint64 written) const;

  TUserInterface& FUi;
  int FTag = 1;
  bool FDownloading = false;
  bool DownloadCancelled = false;
};
