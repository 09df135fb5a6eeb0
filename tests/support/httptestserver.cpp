#include "support/httptestserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>

#include <sys/socket.h>

namespace {

const QByteArray kCrLf = "\r\n";

THttpHeaders ParseHeaderLines(const QList<QByteArray>& lines) {
  THttpHeaders headers;
  for (const QByteArray& line : lines) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
  }
  return headers;
}

// Decodes a chunked body that starts at `from`; returns the bytes consumed, or -1 while incomplete.
qsizetype DecodeChunked(const QByteArray& data, qsizetype from, QByteArray& body) {
  qsizetype at = from;
  for (;;) {
    const qsizetype lineEnd = data.indexOf(kCrLf, at);
    if (lineEnd < 0) return -1;
    bool ok = false;
    const qsizetype size = data.mid(at, lineEnd - at).split(';').first().trimmed().toLongLong(&ok, 16);
    if (!ok) return -1;
    at = lineEnd + 2;
    if (size == 0) {
      // Trailers are ignored up to the empty line that ends them.
      const qsizetype end = data.indexOf("\r\n", at);
      if (end < 0) return -1;
      if (end == at) return end + 2 - from;
      const qsizetype trailersEnd = data.indexOf("\r\n\r\n", at);
      return trailersEnd < 0 ? -1 : trailersEnd + 4 - from;
    }
    if (data.size() < at + size + 2) return -1;
    body += data.mid(at, size);
    at += size + 2;
  }
}

// Parses one complete request at the start of `data`; returns the bytes it took, 0 while incomplete.
qsizetype ParseRequest(const QByteArray& data, THttpRequest& request) {
  const qsizetype headEnd = data.indexOf("\r\n\r\n");
  if (headEnd < 0) return 0;
  QList<QByteArray> lines = data.left(headEnd).split('\n');
  for (QByteArray& line : lines) line = line.trimmed();
  const QList<QByteArray> words = lines.takeFirst().split(' ');
  request = THttpRequest();
  request.Method = words.value(0);
  request.Target = words.value(1);
  request.Path = request.Target.left(request.Target.indexOf('?') < 0 ? request.Target.size() : request.Target.indexOf('?'));
  request.Version = words.value(2);
  request.Headers = ParseHeaderLines(lines);
  const qsizetype bodyStart = headEnd + 4;
  if (request.Header("Transfer-Encoding").toLower().contains("chunked")) {
    const qsizetype used = DecodeChunked(data, bodyStart, request.Body);
    return used < 0 ? 0 : bodyStart + used;
  }
  const qsizetype length = request.Header("Content-Length").toLongLong();
  if (data.size() < bodyStart + length) return 0;
  request.Body = data.mid(bodyStart, length);
  return bodyStart + length;
}

}  // namespace

// One client connection: reads requests one after the other and plays the scripted answer.
class THttpConnection : public QObject {
public:
  THttpConnection(THttpTestServer& server, QTcpSocket* socket, QObject* parent)
      : QObject(parent), FServer(server), FSocket(socket) {
    FSocket->setParent(this);
    connect(FSocket, &QTcpSocket::readyRead, this, [this] {
      FInput += FSocket->readAll();
      NextRequest();
    });
    connect(FSocket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
  }

private:
  void NextRequest() {
    if (FAnswering) return;
    THttpRequest request;
    const qsizetype used = ParseRequest(FInput, request);
    if (used == 0) return;
    FInput.remove(0, used);
    FServer.Record(request);
    FAnswer = FServer.TakeAnswer(request.Path);
    FCloseAfter = request.Header("Connection").toLower() == "close" || FAnswer.Framing == hfUntilClose;
    FAnswering = true;
    FSent = 0;
    After(FAnswer.DelayMs, [this] { SendHead(); });
  }

  void After(int ms, const std::function<void()>& step) {
    if (ms <= 0) step();
    else QTimer::singleShot(ms, this, step);
  }

  void SendHead() {
    if (FAnswer.Silent) {
      FCloseAfter = true;
      if (FAnswer.Ending != heKeepAlive) End();
      return;
    }
    QByteArray head = FAnswer.StatusLine.isEmpty()
                          ? "HTTP/1.1 " + QByteArray::number(FAnswer.Status) + ' ' + FAnswer.Reason
                          : FAnswer.StatusLine;
    head += kCrLf;
    for (const auto& [name, value] : FAnswer.Headers) head += name + ": " + value + kCrLf;
    if (FAnswer.Framing == hfChunked) head += "Transfer-Encoding: chunked\r\n";
    if (FAnswer.Framing == hfContentLength) {
      const qint64 length = FAnswer.AnnouncedLength >= 0 ? FAnswer.AnnouncedLength : FAnswer.Body.size();
      head += "Content-Length: " + QByteArray::number(length) + kCrLf;
    }
    if (FCloseAfter || FAnswer.Ending != heKeepAlive) head += "Connection: close\r\n";
    FSocket->write(head + kCrLf);
    SendBody();
  }

  qint64 BodyLimit() const {
    const qint64 size = FAnswer.Body.size();
    return FAnswer.StallAfter >= 0 ? std::min(FAnswer.StallAfter, size) : size;
  }

  void SendBody() {
    const qint64 limit = BodyLimit();
    if (FSent < limit) {
      const qint64 count = FAnswer.PieceSize > 0 ? std::min<qint64>(FAnswer.PieceSize, limit - FSent) : limit - FSent;
      const QByteArray piece = FAnswer.Body.mid(FSent, count);
      if (FAnswer.Framing == hfChunked) FSocket->write(QByteArray::number(count, 16) + kCrLf + piece + kCrLf);
      else FSocket->write(piece);
      FSocket->flush();
      FSent += count;
      if (FSent < limit) return After(std::max(FAnswer.PieceDelayMs, 1), [this] { SendBody(); });
    }
    if (limit < FAnswer.Body.size()) {
      // A stall: nothing more is sent; the answer ends short, or the client gives up first.
      FCloseAfter = true;
      if (FAnswer.StallMs >= 0) After(FAnswer.StallMs, [this] { End(); });
      return;
    }
    if (FAnswer.Framing == hfChunked) FSocket->write("0\r\n\r\n");
    End();
  }

  void End() {
    if (FAnswer.Ending == heReset) {
      FSocket->flush();
      const linger reset{1, 0};
      ::setsockopt(int(FSocket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      FSocket->abort();
      deleteLater();
      return;
    }
    if (FAnswer.Ending == heClose || FCloseAfter) {
      FSocket->disconnectFromHost();
      return;
    }
    FAnswering = false;
    NextRequest();
  }

  THttpTestServer& FServer;
  QTcpSocket* FSocket;
  QByteArray FInput;
  THttpAnswer FAnswer;
  bool FAnswering = false;
  bool FCloseAfter = false;
  qint64 FSent = 0;
};

// Lives on the server's thread: accepts the connections.
class THttpServerWorker : public QObject {
public:
  explicit THttpServerWorker(THttpTestServer& server) : FServer(server) {}

  quint16 Listen() {
    FListener = new QTcpServer(this);
    connect(FListener, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = FListener->nextPendingConnection()) new THttpConnection(FServer, socket, this);
    });
    return FListener->listen(QHostAddress::LocalHost, 0) ? FListener->serverPort() : 0;
  }

private:
  THttpTestServer& FServer;
  QTcpServer* FListener = nullptr;
};

THttpAnswer THttpAnswer::Text(const QByteArray& body, int status, const QByteArray& reason) {
  THttpAnswer answer;
  answer.Status = status;
  answer.Reason = reason;
  answer.Body = body;
  answer.Headers = {{"Content-Type", "text/plain; charset=utf-8"}};
  return answer;
}

THttpAnswer THttpAnswer::Redirect(int status, const QByteArray& location) {
  THttpAnswer answer;
  answer.Status = status;
  answer.Reason = status == 301 ? "Moved Permanently" : status == 307 ? "Temporary Redirect" : "Found";
  answer.Headers = {{"Location", location}};
  return answer;
}

QByteArray THttpRequest::Header(const QByteArray& name) const {
  for (const auto& [key, value] : Headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

THttpTestServer::THttpTestServer() : FThread(std::make_unique<QThread>()) {
  FWorker = new THttpServerWorker(*this);
  FWorker->moveToThread(FThread.get());
  FThread->start();
  QMetaObject::invokeMethod(FWorker, [this] { FPort = FWorker->Listen(); }, Qt::BlockingQueuedConnection);
}

THttpTestServer::~THttpTestServer() {
  // The connections and their timers belong to the server's thread and end there.
  QMetaObject::invokeMethod(FWorker, [this] { delete FWorker; }, Qt::BlockingQueuedConnection);
  FThread->quit();
  FThread->wait();
}

QUrl THttpTestServer::Url(const QString& path) const {
  return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path));
}

void THttpTestServer::Answer(const QByteArray& path, const THttpAnswer& answer) { AnswerInTurn(path, {answer}); }

void THttpTestServer::AnswerInTurn(const QByteArray& path, const QList<THttpAnswer>& answers) {
  QMutexLocker lock(&FLock);
  FAnswers[path] = answers;
}

THttpAnswer THttpTestServer::TakeAnswer(const QByteArray& path) {
  QMutexLocker lock(&FLock);
  QList<THttpAnswer>& answers = FAnswers[path];
  if (answers.isEmpty()) return THttpAnswer::Text("Not Found", 404, "Not Found");
  return answers.size() > 1 ? answers.takeFirst() : answers.first();
}

void THttpTestServer::Record(const THttpRequest& request) {
  QMutexLocker lock(&FLock);
  FRequests.append(request);
}

QList<THttpRequest> THttpTestServer::Requests() const {
  QMutexLocker lock(&FLock);
  return FRequests;
}

bool THttpTestServer::WaitForRequests(int count, int timeoutMs) const {
  QElapsedTimer clock;
  clock.start();
  while (Requests().size() < count) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  }
  return true;
}

quint16 THttpTestServer::UnusedPort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  const quint16 port = probe.serverPort();
  probe.close();
  return port;
}
