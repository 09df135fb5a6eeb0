#pragma once
// Tools for the fault tests: the built program run as a child whose peak memory is measured, a
// small file system mounted for one test, and a raw TCP server that streams as many bytes as a
// test asks for without holding them.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace faults {

// The program under test, as built.
QString ProgramPath();

struct TChildOptions {
  // NAME=value entries added to the test's own environment (QT_QPA_PLATFORM=offscreen is preset).
  QStringList Environment;
  // The child is killed once it has run this long.
  int TimeoutMs = 60000;
  // For the window: once the program has sat idle (its event loop waiting) it gets SIGTERM, which
  // closes the window the way the close box does. No signal is sent before MinRunMs.
  bool TerminateWhenIdle = false;
  int MinRunMs = 0;
  // When set, the program runs from a copy in a scratch folder, where this puts what the test
  // needs beside it (the translation table is read beside the executable).
  std::function<void(const QString& folder)> BesideProgram;
  // The child's address space in MB (0: no limit), so a program that reads without end fails
  // instead of taking the machine's memory.
  qint64 AddressSpaceLimitMb = 0;
};

struct TChildRun {
  bool Exited = false;     // ended by itself or after the SIGTERM, with an exit status
  int ExitCode = -1;
  int Signal = 0;          // the signal that ended it, when it did not exit
  bool TimedOut = false;   // killed at the time-out
  bool Terminated = false; // SIGTERM was sent because it sat idle
  qint64 PeakRssKb = 0;    // an upper bound: includes the test process's size at the fork
  qint64 ElapsedMs = 0;
  QByteArray Out;
  QByteArray Err;

  QString Describe() const;
};

TChildRun RunChild(const QStringList& arguments, const TChildOptions& options = {});

// The peak resident size of this process so far, in kB.
qint64 OwnPeakRssKb();

// Removes the folder with everything in it, names that are not UTF-8 included (Qt's own removal
// cannot see those and leaves the folder behind).
void RemoveTree(const QString& folder);

// False in a sanitizer build, whose shadow memory makes sizes meaningless (and an address-space
// limit impossible): tests then skip their memory bounds.
bool MeasuresMemory();

// A file system mounted for the life of the object; Mounted() is false where the machine does
// not allow it (the test then skips).
class TScratchMount {
public:
  // A tmpfs of that many kB at the folder (which must exist).
  static std::unique_ptr<TScratchMount> Tmpfs(const QString& folder, int sizeKb);
  // The source folder seen read-only through the target folder.
  static std::unique_ptr<TScratchMount> ReadOnlyBind(const QString& source, const QString& target);
  ~TScratchMount();
  TScratchMount(const TScratchMount&) = delete;
  TScratchMount& operator=(const TScratchMount&) = delete;

  bool Mounted() const { return FMounted; }
  QString Error() const { return FError; }
  // Makes the mounted file system read-only; false when that fails.
  bool RemountReadOnly();

private:
  explicit TScratchMount(const QString& folder) : FFolder(folder) {}

  QString FFolder;
  bool FMounted = false;
  QString FError;
};

// What the stream server sends for requests of one path: the head as it stands (a status line
// and headers, or any garbage), then BodyBytes bytes of text lines, written as fast as the
// client reads them until they are out or the client closes the connection.
struct TStreamAnswer {
  QByteArray Head;
  qint64 BodyBytes = 0;
  // Then the connection is dropped with a reset instead of being closed in order.
  bool Reset = false;
};

// Listens on 127.0.0.1; serves one connection at a time, each request with the answer of its
// path (404 for others), and closes the connection after each answer. Bounded: one answer
// stops after 60 s, whatever the client does.
class TStreamServer {
public:
  TStreamServer();
  ~TStreamServer();
  TStreamServer(const TStreamServer&) = delete;
  TStreamServer& operator=(const TStreamServer&) = delete;

  void Answer(const QByteArray& path, const TStreamAnswer& answer);
  quint16 Port() const { return FPort; }
  QString Url(const QString& path) const;
  // Body bytes sent so far, over all requests.
  qint64 BodyBytesSent() const { return FSent.load(); }
  int Requests() const { return FRequests.load(); }

  // A head announcing a body of that length, or none (the body then ends with the connection).
  static QByteArray OkHead(qint64 announcedLength = -1);

private:
  void Serve();
  void Answer(int connection);

  int FListener = -1;
  quint16 FPort = 0;
  std::atomic<bool> FStop{false};
  std::atomic<qint64> FSent{0};
  std::atomic<int> FRequests{0};
  std::mutex FLock;
  QHash<QByteArray, TStreamAnswer> FAnswers;
  std::thread FThread;
};

// Holds the first open (or the first read) of a file until a step has run: the step runs while
// the program waits inside that call, at a known point of its work. Uses fanotify permission
// events (root only); Armed() is false where they are not available (the test then skips). The
// step must not open or read the held file itself.
class TFileGate {
public:
  enum TEvent { geOpen, geRead };
  TFileGate(const QString& path, TEvent event, std::function<void()> step);
  ~TFileGate();
  TFileGate(const TFileGate&) = delete;
  TFileGate& operator=(const TFileGate&) = delete;

  bool Armed() const { return FFd >= 0; }
  QString Error() const { return FError; }
  bool Fired() const { return FFired.load(); }

private:
  void Watch();

  int FFd = -1;
  QString FError;
  std::function<void()> FStep;
  std::atomic<bool> FStop{false};
  std::atomic<bool> FFired{false};
  std::thread FThread;
};

// A writer that opens the pipe after a delay and closes it at once, so that a reader stuck in
// opening it comes free with an empty read: a test that finds the program waiting for the pipe
// fails instead of hanging.
class TPipeReleaser {
public:
  TPipeReleaser(const QString& pipe, int delayMs);
  ~TPipeReleaser();
  TPipeReleaser(const TPipeReleaser&) = delete;
  TPipeReleaser& operator=(const TPipeReleaser&) = delete;

private:
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

}  // namespace faults
