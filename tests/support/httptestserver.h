#pragma once
// A small HTTP/1.1 server for the network tests: it listens on 127.0.0.1 on a port the system
// picks, answers each path with the answers a test scripts, and records every request it got.
// It runs on a thread of its own, so it answers while the test thread waits in any way (a
// local event loop, QProcess::waitForFinished, a modal dialog).

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QUrl>

#include <memory>
#include <utility>

class QThread;
class THttpServerWorker;

using THttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// How the body is delimited on the wire.
enum THttpFraming {
  hfContentLength,  // a Content-Length header
  hfChunked,        // Transfer-Encoding: chunked, one chunk per piece
  hfUntilClose,     // no length at all: the body ends when the server closes the connection
};

// What the server does once the answer (or what it sends of it) is out.
enum THttpEnding {
  heKeepAlive,  // the connection stays open for the next request
  heClose,      // the server closes the connection in order
  heReset,      // the server drops the connection with a reset
};

struct THttpAnswer {
  int Status = 200;
  QByteArray Reason = "OK";
  // When set, sent as it is in place of "HTTP/1.1 <Status> <Reason>" (e.g. one without a reason).
  QByteArray StatusLine;
  THttpHeaders Headers;
  QByteArray Body;
  THttpFraming Framing = hfContentLength;
  // The Content-Length announced; -1 announces the body's true size.
  qint64 AnnouncedLength = -1;
  // Waits this long after the request before sending anything.
  int DelayMs = 0;
  // The body goes out in pieces of this many bytes with a pause between them; 0 sends it at once.
  int PieceSize = 0;
  int PieceDelayMs = 0;
  // After this many body bytes the server stops sending; -1 sends the whole body.
  qint64 StallAfter = -1;
  // How long a stall lasts before the ending is applied; -1 stalls until the client gives up.
  int StallMs = -1;
  THttpEnding Ending = heKeepAlive;
  // Sends nothing at all: with heClose or heReset the connection ends unanswered, with
  // heKeepAlive the server stays silent until the client gives up.
  bool Silent = false;

  static THttpAnswer Text(const QByteArray& body, int status = 200, const QByteArray& reason = "OK");
  static THttpAnswer Redirect(int status, const QByteArray& location);
};

struct THttpRequest {
  QByteArray Method;
  QByteArray Target;  // as sent, with any query
  QByteArray Path;    // the target without its query
  QByteArray Version;
  THttpHeaders Headers;
  QByteArray Body;  // the exact body bytes (chunked request bodies decoded)

  // The first header of that name, compared without regard to case; null when absent.
  QByteArray Header(const QByteArray& name) const;
};

class THttpTestServer {
public:
  THttpTestServer();
  ~THttpTestServer();
  THttpTestServer(const THttpTestServer&) = delete;
  THttpTestServer& operator=(const THttpTestServer&) = delete;

  quint16 Port() const { return FPort; }
  // http://127.0.0.1:<port> followed by the path.
  QUrl Url(const QString& path = QString()) const;

  // Every request for the path gets this answer. Paths without an answer get 404 Not Found.
  void Answer(const QByteArray& path, const THttpAnswer& answer);
  // The requests for the path get these answers in turn; the last one is repeated.
  void AnswerInTurn(const QByteArray& path, const QList<THttpAnswer>& answers);

  // The requests received completely so far, in order of arrival.
  QList<THttpRequest> Requests() const;
  // Waits, handling the caller's events, until that many requests have arrived; false on time-out.
  bool WaitForRequests(int count, int timeoutMs = 10000) const;

  // A port on 127.0.0.1 where nothing listens: connections to it are refused.
  static quint16 UnusedPort();

  // Used by the server's thread.
  THttpAnswer TakeAnswer(const QByteArray& path);
  void Record(const THttpRequest& request);

private:
  mutable QMutex FLock;
  QHash<QByteArray, QList<THttpAnswer>> FAnswers;
  QList<THttpRequest> FRequests;
  quint16 FPort = 0;
  std::unique_ptr<QThread> FThread;
  THttpServerWorker* FWorker = nullptr;
};
