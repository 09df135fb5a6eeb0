#pragma once
// An answer's body taken in as it arrives, up to a limit: an answer that announces or sends more
// is abandoned at once, so a faulty server cannot fill the memory.

#include <QNetworkReply>

#include <algorithm>

struct TReplyBody {
  QByteArray Bytes;
  bool TooLarge = false;  // the answer was abandoned; Bytes is then empty
};

// Takes the reply's body into `body` while the reply runs; `body` must outlive the reply.
inline void CollectReplyBody(QNetworkReply* reply, qint64 limit, TReplyBody& body) {
  // The client stops reading from the connection while this much waits to be taken.
  const qint64 buffer = std::min<qint64>(limit + 1, qint64(1) << 20);
  reply->setReadBufferSize(buffer);
  // A request with a body starts on the next turn of the event loop, and the client's network
  // thread ignores a limit said before it started: say it again once the request is under way,
  // before the thread can read any of the answer.
  QMetaObject::invokeMethod(reply, [reply, buffer] { reply->setReadBufferSize(buffer); }, Qt::QueuedConnection);
  const auto abandon = [reply, &body] {
    body.TooLarge = true;
    body.Bytes.clear();
    reply->abort();
  };
  QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, limit, &body, abandon] {
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (!body.TooLarge && announced.isValid() && announced.toLongLong() > limit) abandon();
  });
  const auto take = [reply, limit, &body, abandon] {
    // An aborted or timed-out reply is closed and has nothing more to give.
    if (body.TooLarge || !reply->isOpen()) return;
    body.Bytes += reply->read(limit + 1 - body.Bytes.size());
    if (body.Bytes.size() > limit) abandon();
  };
  // Data the client took from the connection before it was read here counts too.
  QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [limit, &body, abandon](qint64 received, qint64) {
    if (!body.TooLarge && received > limit) abandon();
  });
  QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
  QObject::connect(reply, &QNetworkReply::finished, reply, take);
}
