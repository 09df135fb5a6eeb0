#include "extract/tikaclient.h"

#include "common/appinfo.h"
#include "common/httpstatus.h"
#include "common/replybody.h"
#include "i18n/format.h"
#include "i18n/translations.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// A document's text is taken up to this size; a larger answer fails the extraction instead of
// filling the memory (the text is held once more as UTF-16, and again as lines).
constexpr qint64 kMaxTextMegabytes = 128;

QString BodyText(const QByteArray& body) {
  QString text = QString::fromUtf8(body);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

QString ErrorText(const QString& message) { return Translate(QStringLiteral("Error:")) + QLatin1Char(' ') + message; }

// A connection that broke off can look like a finished answer: the announced length tells.
bool EndedShort(const QNetworkReply& reply, const TReplyBody& body) {
  const QVariant announced = reply.header(QNetworkRequest::ContentLengthHeader);
  // A compressed answer announces the length of its compressed form.
  if (!announced.isValid() || reply.hasRawHeader("Content-Encoding")) return false;
  return body.Bytes.size() != announced.toLongLong();
}

TExtraction ResultOf(QNetworkReply& reply, const TReplyBody& body, bool timedOut) {
  TExtraction result;
  const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
  const int code = status.isValid() ? status.toInt() : 0;
  if (code >= 300) {
    result.Error = QStringLiteral("HTTP error (%1): ").arg(code) + HttpStatusLine(reply);
  } else if (body.TooLarge) {
    result.Error = ErrorText(FormatText(Translate(QStringLiteral("The server's answer is larger than %d MB.")),
                                        {qlonglong(kMaxTextMegabytes)}));
  } else if (timedOut) {
    result.Error = ErrorText(Translate(QStringLiteral("Read timed out.")));
  } else if (reply.error() != QNetworkReply::NoError) {
    result.Error = ErrorText(reply.errorString());
  } else if (EndedShort(reply, body)) {
    result.Error = ErrorText(Translate(QStringLiteral("The server's answer ended before it was complete.")));
  } else {
    result.Text = BodyText(body.Bytes);
    result.Success = !result.Text.isEmpty();
  }
  return result;
}

}  // namespace

QUrl TikaEndpoint() {
  const QString configured = qEnvironmentVariable("VARNOQUE_TIKA_URL");
  return QUrl(configured.isEmpty() ? QStringLiteral("http://localhost:9998/tika") : configured);
}

int TikaReadTimeout() {
  bool ok = false;
  const int configured = qEnvironmentVariableIntValue("VARNOQUE_TIKA_TIMEOUT_MS", &ok);
  return ok && configured > 0 ? configured : 30000;
}

TExtraction ExtractTextWithTika(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    TExtraction failed;
    failed.Error = file.errorString();
    return failed;
  }
  QNetworkAccessManager client;
  QNetworkRequest request(TikaEndpoint());
  request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
  request.setRawHeader("Accept", "text/plain; charset=utf-8");
  request.setTransferTimeout(TikaReadTimeout());
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  QNetworkReply* reply = client.put(request, &file);
  TReplyBody body;
  CollectReplyBody(reply, kMaxTextMegabytes << 20, body);
  bool timedOut = false;
  QEventLoop wait;
  QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
  QObject::connect(reply, &QNetworkReply::errorOccurred, &wait, [&](QNetworkReply::NetworkError error) {
    timedOut = timedOut || error == QNetworkReply::OperationCanceledError;
  });
  if (!reply->isFinished()) wait.exec(QEventLoop::ExcludeUserInputEvents);
  const TExtraction result = ResultOf(*reply, body, timedOut);
  delete reply;
  return result;
}

QString DocumentFailureText(const TExtraction& left, const TExtraction& right) {
  return Translate(QStringLiteral("Comparison failed.")) + kCrLf +
         (left.Success ? QStringLiteral("Left: OK") : QStringLiteral("Left: ") + left.Error) + kCrLf +
         (right.Success ? QStringLiteral("Right: OK") : QStringLiteral("Right: ") + right.Error);
}

QString TikaInstallHint() {
  return FormatText(Translate(QStringLiteral("Perhaps you opted out of installing TIKA? If so, please reinstall %s "
                                             "and confirm the TIKA installation when prompted.")),
                    {appinfo::Title()});
}
