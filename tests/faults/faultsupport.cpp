#include "faults/faultsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <ftw.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace faults {

namespace {

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The NAME=value entries of the environment, with the overrides replacing entries of their name.
std::vector<std::string> EnvironmentWith(const QStringList& overrides) {
  QStringList entries = QProcessEnvironment::systemEnvironment().toStringList();
  QStringList all = QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen")} + overrides;
  for (const QString& entry : all) {
    const QString name = entry.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const QString& e) { return e.startsWith(name); }),
                  entries.end());
    entries.append(entry);
  }
  std::vector<std::string> result;
  for (const QString& entry : entries) result.push_back(entry.toStdString());
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// User and system clock ticks the process has used; -1 when it is gone.
qint64 CpuTicks(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return -1;
  const QByteArray text = stat.readAll();
  const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
  // After the name come the state (field 3) ... utime (field 14) and stime (field 15).
  return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

QByteArray ReadAll(QTemporaryFile& file) {
  file.seek(0);
  return file.readAll();
}

// The copy of the program with its scratch files, or the built program itself.
QString PreparedProgram(const TChildOptions& options, QTemporaryDir& scratch) {
  if (!options.BesideProgram) return ProgramPath();
  const QString copy = scratch.filePath(QStringLiteral("varnoque"));
  QFile::copy(ProgramPath(), copy);
  QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  options.BesideProgram(scratch.path());
  return copy;
}

}  // namespace

QString ProgramPath() { return QStringLiteral(VARNOQUE_BINARY_DIR "/bin/varnoque"); }

QString TChildRun::Describe() const {
  return QStringLiteral("exit %1, signal %2, timed out %3, terminated %4, %5 ms, peak %6 kB; stderr: %7")
      .arg(ExitCode)
      .arg(Signal)
      .arg(TimedOut)
      .arg(Terminated)
      .arg(ElapsedMs)
      .arg(PeakRssKb)
      .arg(QString::fromLocal8Bit(Err.left(2000)));
}

TChildRun RunChild(const QStringList& arguments, const TChildOptions& options) {
  QTemporaryDir scratch;
  const QString program = PreparedProgram(options, scratch);
  std::vector<std::string> argStrings{program.toStdString()};
  for (const QString& a : arguments) argStrings.push_back(a.toStdString());
  std::vector<std::string> envStrings = EnvironmentWith(options.Environment);
  std::vector<char*> argv = Pointers(argStrings);
  std::vector<char*> envp = Pointers(envStrings);
  QTemporaryFile out, err;
  out.open();
  err.open();
  const int outFd = out.handle();
  const int errFd = err.handle();
  const rlim_t addressSpace = MeasuresMemory() ? rlim_t(options.AddressSpaceLimitMb) << 20 : 0;

  TChildRun run;
  QElapsedTimer clock;
  clock.start();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int nullFd = ::open("/dev/null", O_RDONLY);
    ::dup2(nullFd, 0);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    if (addressSpace > 0) {
      const rlimit limit{addressSpace, addressSpace};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  if (pid < 0) {
    run.Err = "fork failed";
    return run;
  }
  int status = 0;
  rusage usage{};
  qint64 lastCpu = -1;
  qint64 busyAt = 0;
  for (;;) {
    if (::wait4(pid, &status, WNOHANG, &usage) == pid) break;
    const qint64 elapsed = clock.elapsed();
    if (elapsed > options.TimeoutMs) {
      ::kill(pid, SIGKILL);
      run.TimedOut = true;
      ::wait4(pid, &status, 0, &usage);
      break;
    }
    if (options.TerminateWhenIdle && !run.Terminated) {
      const qint64 cpu = CpuTicks(pid);
      if (cpu != lastCpu) {
        lastCpu = cpu;
        busyAt = elapsed;
      } else if (elapsed - std::max<qint64>(busyAt, options.MinRunMs) >= 700) {
        ::kill(pid, SIGTERM);
        run.Terminated = true;
      }
    }
    ::usleep(20000);
  }
  run.ElapsedMs = clock.elapsed();
  run.PeakRssKb = usage.ru_maxrss;
  run.Exited = WIFEXITED(status);
  run.ExitCode = run.Exited ? WEXITSTATUS(status) : -1;
  run.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  run.Out = ReadAll(out);
  run.Err = ReadAll(err);
  return run;
}

void RemoveTree(const QString& folder) {
  // Every entry is tried, whatever became of the one before.
  const auto remove = [](const char* path, const struct stat*, int, FTW*) {
    ::remove(path);
    return 0;
  };
  ::nftw(QFile::encodeName(folder).constData(), remove, 16, FTW_DEPTH | FTW_PHYS);
}

bool MeasuresMemory() {
#if defined(VARNOQUE_SANITIZED)
  return false;
#else
  return true;
#endif
}

qint64 OwnPeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::unique_ptr<TScratchMount> TScratchMount::Tmpfs(const QString& folder, int sizeKb) {
  std::unique_ptr<TScratchMount> mount(new TScratchMount(folder));
  const QByteArray data = "size=" + QByteArray::number(sizeKb) + "k,mode=0755";
  if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, data.constData()) == 0)
    mount->FMounted = true;
  else
    mount->FError = QStringLiteral("mount -t tmpfs: ") + ErrnoText();
  return mount;
}

std::unique_ptr<TScratchMount> TScratchMount::ReadOnlyBind(const QString& source, const QString& target) {
  std::unique_ptr<TScratchMount> mount(new TScratchMount(target));
  const QByteArray from = QFile::encodeName(source);
  const QByteArray to = QFile::encodeName(target);
  if (::mount(from.constData(), to.constData(), nullptr, MS_BIND, nullptr) != 0) {
    mount->FError = QStringLiteral("mount --bind: ") + ErrnoText();
    return mount;
  }
  mount->FMounted = true;
  if (::mount(nullptr, to.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
    mount->FError = QStringLiteral("read-only remount of the bind mount: ") + ErrnoText();
    ::umount2(to.constData(), MNT_DETACH);
    mount->FMounted = false;
  }
  return mount;
}

bool TScratchMount::RemountReadOnly() {
  if (::mount(nullptr, QFile::encodeName(FFolder).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0)
    return true;
  FError = QStringLiteral("read-only remount: ") + ErrnoText();
  return false;
}

TScratchMount::~TScratchMount() {
  if (FMounted) ::umount2(QFile::encodeName(FFolder).constData(), MNT_DETACH);
}

namespace {

constexpr int kAnswerLimitMs = 60000;

// Waits until the socket can be read (or written); false after the wait or when stopping.
bool WaitFor(int socket, short events, const std::atomic<bool>& stop, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!stop.load() && clock.elapsed() < timeoutMs) {
    pollfd entry{socket, events, 0};
    const int ready = ::poll(&entry, 1, 100);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
  return false;
}

// Reads one request head and its body (by Content-Length); returns the path, empty on failure.
QByteArray ReadRequest(int socket, const std::atomic<bool>& stop) {
  QByteArray data;
  char buffer[65536];
  qsizetype headEnd = -1;
  while ((headEnd = data.indexOf("\r\n\r\n")) < 0) {
    if (!WaitFor(socket, POLLIN, stop, 10000)) return {};
    const ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
    if (n <= 0) return {};
    data.append(buffer, n);
  }
  const QList<QByteArray> lines = data.left(headEnd).split('\n');
  qint64 length = 0;
  for (const QByteArray& line : lines)
    if (line.toLower().startsWith("content-length:")) length = line.mid(15).trimmed().toLongLong();
  qint64 have = data.size() - headEnd - 4;
  while (have < length) {
    if (!WaitFor(socket, POLLIN, stop, 10000)) return {};
    const ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
    if (n <= 0) return {};
    have += n;
  }
  const QByteArray target = lines.value(0).split(' ').value(1);
  const qsizetype query = target.indexOf('?');
  return query < 0 ? target : target.left(query);
}

bool SendAll(int socket, QByteArrayView bytes, const std::atomic<bool>& stop) {
  while (!bytes.isEmpty()) {
    if (!WaitFor(socket, POLLOUT, stop, 10000)) return false;
    const ssize_t n = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes = bytes.sliced(n);
  }
  return true;
}

QByteArray BodyBlock() {
  QByteArray line = "0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ\n";
  QByteArray block;
  while (block.size() < 65536) block += line;
  return block.left(65536);
}

}  // namespace

TStreamServer::TStreamServer() {
  FListener = ::socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  ::setsockopt(FListener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(FListener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(FListener, 8) == 0) {
    socklen_t size = sizeof address;
    ::getsockname(FListener, reinterpret_cast<sockaddr*>(&address), &size);
    FPort = ntohs(address.sin_port);
  }
  FThread = std::thread([this] { Serve(); });
}

TStreamServer::~TStreamServer() {
  FStop = true;
  FThread.join();
  ::close(FListener);
}

void TStreamServer::Answer(const QByteArray& path, const TStreamAnswer& answer) {
  std::lock_guard<std::mutex> lock(FLock);
  FAnswers.insert(path, answer);
}

QString TStreamServer::Url(const QString& path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path);
}

QByteArray TStreamServer::OkHead(qint64 announcedLength) {
  QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n";
  if (announcedLength >= 0) head += "Content-Length: " + QByteArray::number(announcedLength) + "\r\n";
  return head + "Connection: close\r\n\r\n";
}

void TStreamServer::Serve() {
  while (!FStop.load()) {
    if (!WaitFor(FListener, POLLIN, FStop, 200)) continue;
    const int connection = ::accept(FListener, nullptr, nullptr);
    if (connection < 0) continue;
    Answer(connection);
  }
}

void TStreamServer::Answer(int connection) {
  const QByteArray path = ReadRequest(connection, FStop);
  TStreamAnswer answer{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 0, false};
  if (!path.isEmpty()) {
    ++FRequests;
    std::lock_guard<std::mutex> lock(FLock);
    answer = FAnswers.value(path, answer);
  }
  static const QByteArray block = BodyBlock();
  QElapsedTimer clock;
  clock.start();
  bool open = !path.isEmpty() && SendAll(connection, answer.Head, FStop);
  for (qint64 left = answer.BodyBytes; open && left > 0 && clock.elapsed() < kAnswerLimitMs;) {
    const qint64 count = std::min<qint64>(left, block.size());
    open = SendAll(connection, QByteArrayView(block.constData(), count), FStop);
    if (open) {
      FSent += count;
      left -= count;
    }
  }
  if (answer.Reset) {
    const linger reset{1, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  }
  ::close(connection);
}

TFileGate::TFileGate(const QString& path, TEvent event, std::function<void()> step) : FStep(std::move(step)) {
  const int fd = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY | O_LARGEFILE);
  if (fd < 0) {
    FError = QStringLiteral("fanotify_init: ") + ErrnoText();
    return;
  }
  const uint64_t mask = event == geOpen ? FAN_OPEN_PERM : FAN_ACCESS_PERM;
  if (::fanotify_mark(fd, FAN_MARK_ADD, mask, AT_FDCWD, QFile::encodeName(path).constData()) != 0) {
    FError = QStringLiteral("fanotify_mark: ") + ErrnoText();
    ::close(fd);
    return;
  }
  FFd = fd;
  FThread = std::thread([this] { Watch(); });
}

TFileGate::~TFileGate() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
  // Closing the group lets every call still held go on.
  if (FFd >= 0) ::close(FFd);
}

void TFileGate::Watch() {
  alignas(fanotify_event_metadata) char buffer[4096];
  while (!FStop.load()) {
    pollfd entry{FFd, POLLIN, 0};
    if (::poll(&entry, 1, 50) <= 0) continue;
    const ssize_t length = ::read(FFd, buffer, sizeof buffer);
    if (length <= 0) continue;
    auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
    for (ssize_t left = length; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
      if (!FFired.exchange(true)) FStep();
      const fanotify_response allow{event->fd, FAN_ALLOW};
      [[maybe_unused]] const ssize_t written = ::write(FFd, &allow, sizeof allow);
      if (event->fd >= 0) ::close(event->fd);
    }
  }
}

TPipeReleaser::TPipeReleaser(const QString& pipe, int delayMs) {
  FThread = std::thread([this, path = QFile::encodeName(pipe), delayMs] {
    QElapsedTimer clock;
    clock.start();
    while (!FStop.load() && clock.elapsed() < delayMs + 20000) {
      // Without a reader the open fails at once (ENXIO); with one it succeeds and frees it.
      const int fd = clock.elapsed() < delayMs ? -1 : ::open(path.constData(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        ::close(fd);
        return;
      }
      ::usleep(20000);
    }
  });
}

TPipeReleaser::~TPipeReleaser() {
  FStop = true;
  FThread.join();
}

}  // namespace faults
