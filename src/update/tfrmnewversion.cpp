#include "update/tfrmnewversion.h"

#include "app/appicons.h"
#include "app/userinterface.h"
#include "common/appinfo.h"
#include "common/httpstatus.h"
#include "common/varnoqueerror.h"
#include "i18n/translations.h"
#include "update/versioncheck.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 420;
constexpr int kClientHeight = 189;

bool IsChunked(const QNetworkReply& reply) {
  return reply.rawHeader("Transfer-Encoding").toLower().contains("chunked");
}

}  // namespace

TfrmNewVersion::TfrmNewVersion(TUserInterface& ui, QWidget* parent) : QDialog(parent), FUi(ui) {
  setFixedSize(kClientWidth, kClientHeight);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  VirtualImage1 = new QLabel(this);
  VirtualImage1->setGeometry(10, 10, 70, 75);
  VirtualImage1->setAlignment(Qt::AlignCenter);
  VirtualImage1->setPixmap(AppIcon(QStringLiteral("update-icon")).pixmap(QSize(64, 64)));
  Label1 = new QLabel(this);
  Label1->setGeometry(85, 10, 327, 115);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setTextFormat(Qt::PlainText);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(10, 130, kClientWidth - 20, 14);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();
  btUpdateNow = new QPushButton(this);
  btUpdateNow->setGeometry(kClientWidth - 2 * 110 - 16, kClientHeight - 36, 110, 28);
  btCancel = new QPushButton(this);
  btCancel->setGeometry(kClientWidth - 110 - 8, kClientHeight - 36, 110, 28);
  connect(btUpdateNow, &QPushButton::clicked, this, [this] { btUpdateNowClick(); });
  connect(btCancel, &QPushButton::clicked, this, [this] { btCancelClick(); });
}

// Qt names no temporary folder when the configured one does not exist; the installer must then
// fail to be stored there, not land in the working folder and be started from it.
QString TfrmNewVersion::DownloadPath() {
  QString folder = QDir::tempPath();
  if (folder.isEmpty()) folder = QDir::cleanPath(qEnvironmentVariable("TMPDIR"));
  return QDir(folder).filePath(QStringLiteral("qvr_update.exe"));
}

void TfrmNewVersion::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TfrmNewVersion::FormShow() {
  FTag = 1;
  setWindowTitle(QLatin1Char(' ') + appinfo::Title());
  btUpdateNow->setText(Translate(QStringLiteral("Update Now")));
  btCancel->setText(Translate(UpdateNotice().UpdateRequired ? QStringLiteral("Exit") : QStringLiteral("Skip")));
  Label1->setText(UpdateNotice().UpdateMessage);
}

void TfrmNewVersion::closeEvent(QCloseEvent* event) {
  if (FDownloading) {
    // Closing during the download aborts it; the dialog closes when the download has ended.
    DownloadCancelled = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);  // ends in reject()
}

// Every way out of the dialog ends here: the close box, Escape, "Skip"/"Exit" and the end of the
// download. Escape is the close box: it aborts a download, and a required update ends with tag 0.
void TfrmNewVersion::reject() {
  if (FDownloading) {
    DownloadCancelled = true;
    return;
  }
  FormClose();
  QDialog::reject();
}

void TfrmNewVersion::FormClose() {
  if (UpdateNotice().UpdateRequired) FTag = 0;
}

void TfrmNewVersion::btCancelClick() {
  if (btCancel->text() == Translate(QStringLiteral("Abort"))) DownloadCancelled = true;
  else close();
}

void TfrmNewVersion::btUpdateNowClick() {
  UpdateNotice().UpdateRequired = true;
  DownloadCancelled = false;
  btCancel->setText(Translate(QStringLiteral("Abort")));
  btUpdateNow->setEnabled(false);
  ProgressBar1->setValue(0);
  ProgressBar1->show();
  try {
    Download();
    FUi.OpenFile(DownloadPath());
  } catch (const EVarnoqueError& error) {
    FUi.ShowMessage(mkError, Translate(QStringLiteral("Failed to download update. Please download manually on website.")) +
                                 QStringLiteral("\r\n\r\n") + error.Message());
    FUi.OpenUrl(QUrl(appinfo::WebAddress()));
  }
  close();
}

// Fetches the installer into the temporary folder. A download that failed, was aborted or ended
// short of its announced length is deleted: a partial installer is never started.
void TfrmNewVersion::Download() {
  QFile file(DownloadPath());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw EVarnoqueError(file.fileName() + QStringLiteral(": ") + file.errorString());
  QNetworkAccessManager client;
  QNetworkRequest request(UpdateAddress(QStringLiteral("/download/varnoque.exe")));
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/4.0 (compatible; MyApp)"));
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  QNetworkReply* reply = client.get(request);
  QString failure;
  qint64 written = 0;
  const auto store = [&] {
    if (!reply->isOpen()) return;  // an aborted reply has nothing more to give
    const QByteArray bytes = reply->readAll();
    if (file.write(bytes) == bytes.size()) written += bytes.size();
    else if (failure.isEmpty()) failure = file.fileName() + QStringLiteral(": ") + file.errorString();
  };
  QObject::connect(reply, &QNetworkReply::readyRead, this, store);
  QObject::connect(reply, &QNetworkReply::downloadProgress, this, [&](qint64 received, qint64) {
    DownloadWork(*reply, received);
    if (DownloadCancelled && failure.isEmpty()) {
      failure = Translate(QStringLiteral("Download is cancelled. Please download manually."));
      reply->abort();
    }
  });
  QEventLoop wait;
  QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
  FDownloading = true;
  if (!reply->isFinished()) wait.exec();
  FDownloading = false;
  store();
  if (!file.flush() && failure.isEmpty()) failure = file.fileName() + QStringLiteral(": ") + file.errorString();
  if (failure.isEmpty() && DownloadCancelled)
    failure = Translate(QStringLiteral("Download is cancelled. Please download manually."));
  if (failure.isEmpty()) failure = DownloadFailure(*reply, written);
  reply->deleteLater();
  file.close();
  if (!failure.isEmpty()) {
    file.remove();
    throw EVarnoqueError(failure);
  }
  if (!QFile::exists(DownloadPath())) throw EVarnoqueError(Translate(QStringLiteral("Cannot find downloaded file.")));
}

QString TfrmNewVersion::DownloadFailure(QNetworkReply& reply, qint64 written) const {
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 300) return HttpStatusLine(reply);
  if (reply.error() != QNetworkReply::NoError) return reply.errorString();
  const qint64 length = reply.header(QNetworkRequest::ContentLengthHeader).toLongLong();
  if (!IsChunked(reply) && length > 0 && written != length)
    return Translate(QStringLiteral("The download ended before it was complete."));
  return {};
}

void TfrmNewVersion::DownloadWork(QNetworkReply& reply, qint64 received) {
  if (DownloadCancelled) return;
  const qint64 length = reply.header(QNetworkRequest::ContentLengthHeader).toLongLong();
  if (IsChunked(reply) || length <= 0) return;
  ProgressBar1->setValue(int(received * 100 / length));
  ProgressBar1->repaint();
}
