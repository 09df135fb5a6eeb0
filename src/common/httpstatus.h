#pragma once
// The status line of an HTTP answer as the failure texts show it. Qt does not tell the protocol
// version of the answer, so it is written as HTTP/1.1.

#include <QNetworkReply>
#include <QString>

inline QString HttpStatusLine(const QNetworkReply& reply) {
  return QStringLiteral("HTTP/1.1 %1 %2")
      .arg(reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())
      .arg(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
      .trimmed();
}
