#include "update/versioncheck.h"

#include "common/appinfo.h"
#include "common/replybody.h"
#include "i18n/format.h"
#include "i18n/translations.h"
#include "update/versionpage.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kReadTimeout = 10000;
constexpr int kMaxRedirects = 10;
// The version and changes pages are a few lines: a larger answer is no page of ours.
constexpr qint64 kMaxPageBytes = 1 << 20;

std::optional<QByteArray> Get(QNetworkAccessManager& client, const QString& path) {
  QNetworkRequest request(UpdateAddress(path));
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/4.0 (compatible; MyApp)"));
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  request.setTransferTimeout(kReadTimeout);
  QNetworkReply* reply = client.get(request);
  TReplyBody page;
  CollectReplyBody(reply, kMaxPageBytes, page);
  QEventLoop wait;
  QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
  if (!reply->isFinished()) wait.exec(QEventLoop::ExcludeUserInputEvents);
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  std::optional<QByteArray> body;
  if (reply->error() == QNetworkReply::NoError && !page.TooLarge && status >= 200 && status < 300) body = page.Bytes;
  delete reply;
  return body;
}

QString ChangesTail(const QStringList& changes) {
  QString tail = kCrLf + kCrLf + Translate(QStringLiteral("What's new:")) + kCrLf;
  for (const QString& line : changes) tail += line + kCrLf;
  return tail;
}

}  // namespace

TUpdateNotice& UpdateNotice() {
  static TUpdateNotice notice;
  return notice;
}

QUrl UpdateAddress(const QString& path) {
  QString base = UpdateBaseAddress().toString();
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return QUrl(base + path);
}

QUrl UpdateBaseAddress() {
  const QString configured = qEnvironmentVariable("VARNOQUE_UPDATE_URL");
  return QUrl(configured.isEmpty() ? appinfo::WebAddress() : configured);
}

bool CheckForNewVersion() {
  QNetworkAccessManager client;
  const std::optional<QByteArray> versionPage = Get(client, QStringLiteral("/download/version/varnoque-version.html"));
  if (!versionPage) return false;
  const QStringList versionLines = DecodePageLines(*versionPage);
  if (versionLines.isEmpty()) return false;
  const std::optional<QByteArray> changesPage = Get(client, QStringLiteral("/download/version/varnoque-changes.html"));
  if (!changesPage) return false;
  const QStringList changes = RemoveEmptyLines(DecodePageLines(*changesPage));
  const std::optional<TVersionLine> version = ParseVersionLine(versionLines.constFirst());
  if (!version) return false;
  TUpdateNotice& notice = UpdateNotice();
  if (version->Lowest > appinfo::VersionNumber) {
    notice.UpdateRequired = true;
    notice.UpdateMessage =
        FormatText(Translate(QStringLiteral("This version of the software is out of date. You must download the "
                                            "current version %s to continue using the software.")),
                   {version->DisplayVersion}) +
        ChangesTail(changes);
    return true;
  }
  if (version->Newest > appinfo::VersionNumber) {
    notice.UpdateMessage =
        FormatText(Translate(QStringLiteral("The new version %s is available")), {version->DisplayVersion}) +
        ChangesTail(changes);
    return true;
  }
  return false;
}
