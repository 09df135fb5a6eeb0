// The built program under hostile conditions, run as a child whose peak memory is measured: the
// headless command against misbehaving Tika servers, odd files and large inputs, and the window's
// start against a misbehaving update server, damaged settings files and translation tables.
//
// A window that came up is told by its exit: the window closes on SIGTERM and exits with 0; a
// program still in its start (or showing the update dialog) dies of the signal.

#include "faults/faultsupport.h"
#include "settings/settingsfile.h"
#include "support/httptestserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using faults::RunChild;
using faults::TChildOptions;
using faults::TChildRun;
using faults::TStreamAnswer;
using faults::TStreamServer;

constexpr qint64 kMB = 1024;  // in kB, as peak sizes are given
const QString kUnusedUpdateServer = QStringLiteral("VARNOQUE_UPDATE_URL=http://127.0.0.1:9");

class ProgramFaultTest : public ::testing::Test {
protected:
  void TearDown() override { faults::RemoveTree(FDir.path()); }

  QString Write(const QString& name, const QByteArray& content) {
    const QString path = FDir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }

  // The headless command; documents go to the server at `tikaUrl`.
  TChildRun Compare(const QStringList& arguments, const QString& tikaUrl = QStringLiteral("http://127.0.0.1:9/tika")) {
    TChildOptions options;
    options.Environment = {QStringLiteral("LC_ALL=C.UTF-8"), QStringLiteral("VARNOQUE_TIKA_URL=") + tikaUrl,
                           QStringLiteral("VARNOQUE_TIKA_TIMEOUT_MS=1000")};
    options.TimeoutMs = 60000;
    return RunChild(QStringList{QStringLiteral("--compare")} + arguments, options);
  }

  // The window, started and closed again once it sits idle.
  TChildRun StartWindow(TChildOptions options) {
    options.Environment.prepend(QStringLiteral("APPDATA=") + FDir.filePath(QStringLiteral("appdata")));
    options.TerminateWhenIdle = true;
    options.AddressSpaceLimitMb = 8192;
    return RunChild({}, options);
  }

  static void ExpectTheWindowCameUp(const TChildRun& run) {
    EXPECT_TRUE(run.Terminated) << run.Describe().toStdString();
    EXPECT_TRUE(run.Exited && run.ExitCode == 0) << run.Describe().toStdString();
  }

  QString SettingsPath() const { return FDir.filePath(QStringLiteral("appdata/Varnoque/settings.dt")); }

  QTemporaryDir FDir;
};

// --- Tika servers that misbehave: the headless document comparison ends with both results.

struct TTikaCase {
  const char* Name;
  THttpAnswer Answer;
  int ExitCode;
  QString Report;  // a text that stderr (or, on success, stdout) holds for each side
};

void PrintTo(const TTikaCase& c, std::ostream* os) { *os << c.Name; }

THttpAnswer RawStatus(const QByteArray& statusLine, const QByteArray& body = "extracted text\n") {
  THttpAnswer answer = THttpAnswer::Text(body);
  answer.StatusLine = statusLine;
  return answer;
}

THttpAnswer HalfWay(THttpEnding ending) {
  THttpAnswer answer = THttpAnswer::Text(QByteArray(4000, 'x'));
  answer.StallAfter = 2000;
  answer.StallMs = ending == heKeepAlive ? -1 : 0;
  answer.Ending = ending;
  return answer;
}

class TikaFaultTest : public ProgramFaultTest, public ::testing::WithParamInterface<TTikaCase> {};

TEST_P(TikaFaultTest, EndsWithAClearResultWithinTheTimeOut) {
  THttpTestServer server;
  server.Answer("/tika", GetParam().Answer);
  const TChildRun run = Compare({Write(QStringLiteral("l.pdf"), "L"), Write(QStringLiteral("r.pdf"), "R")},
                                server.Url(QStringLiteral("/tika")).toString());
  ASSERT_TRUE(run.Exited) << run.Describe().toStdString();
  EXPECT_EQ(run.ExitCode, GetParam().ExitCode) << run.Describe().toStdString();
  // Once for each side: in the two side results, or in the two columns of the listing.
  const QString output = QString::fromUtf8(GetParam().ExitCode == 2 ? run.Err : run.Out);
  EXPECT_EQ(output.count(GetParam().Report), 2) << output.toStdString();
  // Two reads of one second at most each, and the start of the program.
  EXPECT_LT(run.ElapsedMs, 20000);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TikaFaultTest,
    ::testing::Values(
        TTikaCase{"NotHttpAtAll", RawStatus("SSH-2.0-OpenSSH_9.2 this is no web server"), 2, "Error: "},
        TTikaCase{"SuccessWithoutReason", RawStatus("HTTP/1.1 200"), 0, "extracted text"},
        TTikaCase{"ErrorWithoutReason", RawStatus("HTTP/1.1 500"), 2, "HTTP error (500): HTTP/1.1 500"},
        TTikaCase{"StallsHalfWay", HalfWay(heKeepAlive), 2, "Error: Read timed out."},
        TTikaCase{"ResetHalfWay", HalfWay(heReset), 2, "Error: "},
        TTikaCase{"ClosedHalfWay", HalfWay(heClose), 2, "Error: "}),
    [](const auto& info) { return std::string(info.param.Name); });

// Hundreds of MB of text: the extraction stops at its limit and fails; memory stays bounded, and
// an answer that announces its size too large is not read at all.
TEST_F(ProgramFaultTest, AHugeTikaAnswerFailsWithoutFillingTheMemory) {
  TStreamServer server;
  const QString left = Write(QStringLiteral("l.pdf"), "L");
  const QString right = Write(QStringLiteral("r.pdf"), "R");
  const QString tooLarge = QStringLiteral("Error: The server's answer is larger than 128 MB.");

  server.Answer("/tika", TStreamAnswer{TStreamServer::OkHead(qint64(4) << 30), qint64(4) << 30});
  TChildRun run = Compare({left, right}, server.Url(QStringLiteral("/tika")));
  EXPECT_EQ(run.ExitCode, 2) << run.Describe().toStdString();
  EXPECT_EQ(QString::fromUtf8(run.Err).count(tooLarge), 2) << run.Describe().toStdString();
  // What the connection took in before the answer's head was seen: a few MB for each side. An
  // instrumented build is too slow to see the head that soon.
  if (faults::MeasuresMemory()) {
    EXPECT_LT(server.BodyBytesSent(), 2 * (qint64(64) << 20)) << "an announced 4 GB body is not read";
  }

  server.Answer("/tika", TStreamAnswer{TStreamServer::OkHead(), qint64(600) << 20});
  const qint64 before = server.BodyBytesSent();
  run = Compare({left, right}, server.Url(QStringLiteral("/tika")));
  EXPECT_EQ(run.ExitCode, 2) << run.Describe().toStdString();
  EXPECT_EQ(QString::fromUtf8(run.Err).count(tooLarge), 2) << run.Describe().toStdString();
  if (faults::MeasuresMemory()) {
    // What the client had taken from the connection before it gave up: the limit and a little more.
    EXPECT_LT(server.BodyBytesSent() - before, 2 * (qint64(128 + 32) << 20)) << "reading stops at the limit";
    // One side's text at a time (the heap's huge pages round it up), never what the connection
    // could deliver ahead of the reading.
    EXPECT_LT(run.PeakRssKb, 3 * 128 * kMB) << run.Describe().toStdString();
  }
  std::printf("[ figures ] 600 MB Tika answers without a length, both sides: %.1f s, peak %lld MB, %lld MB sent\n",
              run.ElapsedMs / 1000.0, run.PeakRssKb / kMB, (server.BodyBytesSent() - before) >> 20);
}

// --- The update server at start: whatever it sends, the window comes up without a notice.

struct TUpdateCase {
  const char* Name;
  QByteArray VersionPage;  // the head (and a small body) of the version page, or empty for 21/20
  qint64 VersionBody;      // streamed body bytes of the version page
  qint64 ChangesBody;      // streamed body bytes of the changes page
  qint64 ChangesAnnounced; // -1: no Content-Length
};

void PrintTo(const TUpdateCase& c, std::ostream* os) { *os << c.Name; }

class UpdateServerFaultTest : public ProgramFaultTest, public ::testing::WithParamInterface<TUpdateCase> {};

TEST_P(UpdateServerFaultTest, TheWindowComesUpWithoutANotice) {
  TStreamServer server;
  const TUpdateCase& c = GetParam();
  const QByteArray newer = TStreamServer::OkHead(6) + "21/20\n";
  server.Answer("/download/version/varnoque-version.html",
                TStreamAnswer{c.VersionPage.isEmpty() ? newer : c.VersionPage, c.VersionBody});
  server.Answer("/download/version/varnoque-changes.html",
                TStreamAnswer{TStreamServer::OkHead(c.ChangesAnnounced), c.ChangesBody});
  TChildOptions options;
  options.Environment = {QStringLiteral("VARNOQUE_UPDATE_URL=") + server.Url(QString())};
  const TChildRun run = StartWindow(options);
  ExpectTheWindowCameUp(run);
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 300 * kMB) << run.Describe().toStdString();
  }
  EXPECT_LT(server.BodyBytesSent(), qint64(64) << 20) << "a page is read to its limit of 1 MB at most";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, UpdateServerFaultTest,
    ::testing::Values(
        TUpdateCase{"NotHttpAtAll", "SSH-2.0-OpenSSH_9.2\r\n\r\n21/20\n", 0, 0, 0},
        TUpdateCase{"StatusWithoutReasonOrHeaders", "HTTP/1.1 200\r\n\r\n", 0, 0, 0},
        TUpdateCase{"HugeVersionPageWithoutLength", TStreamServer::OkHead(), qint64(500) << 20, 0, 0},
        // The version page announces an update; the changes page is too large to be one.
        TUpdateCase{"HugeChangesPage", {}, 0, qint64(500) << 20, qint64(500) << 20},
        TUpdateCase{"HugeChangesPageWithoutLength", {}, 0, qint64(500) << 20, -1}),
    [](const auto& info) { return std::string(info.param.Name); });

// A connection that resets, and one that stalls: the check gives up after its read time-out
// (10 s, tried once here) and the start goes on.
TEST_F(ProgramFaultTest, AnUpdateServerThatResetsOrStallsDelaysTheStartByTheTimeOutAtMost) {
  THttpTestServer server;
  THttpAnswer reset;
  reset.Silent = true;
  reset.Ending = heReset;
  server.Answer("/download/version/varnoque-version.html", reset);
  TChildOptions options;
  options.Environment = {QStringLiteral("VARNOQUE_UPDATE_URL=") + server.Url().toString()};
  ExpectTheWindowCameUp(StartWindow(options));

  THttpAnswer stalling = THttpAnswer::Text("21/20\nand more");
  stalling.StallAfter = 3;
  server.Answer("/download/version/varnoque-version.html", stalling);
  options.MinRunMs = 11000;  // no SIGTERM before the check's time-out has passed
  const TChildRun run = StartWindow(options);
  ExpectTheWindowCameUp(run);
  EXPECT_LT(run.ElapsedMs, 30000);
}

// --- Damaged settings files: the window starts, keeps the fields read and allocates little.

TSettingsRecord FlagsSet() {
  TSettingsRecord record;
  record.IgnoreCase = record.IgnoreWhitespace = record.IgnoreBlankLines = true;
  record.ShowGridLines = false;
  return record;
}

QByteArray Int32(qint32 value) {
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = char((quint32(value) >> (8 * i)) & 0xFF);
  return bytes;
}

// The fields up to the colours (field 18) of the record, then `tail`.
QByteArray HeadThen(const TSettingsRecord& record, const QByteArray& tail) {
  const QByteArray whole = WriteSettingsRecord(record);
  const qsizetype headEnd = whole.size() - 4 - 4 - 1 - 6 * 4;  // two empty histories and fields 23-29 follow
  return whole.left(headEnd) + tail;
}

struct TSettingsCase {
  const char* Name;
  QByteArray Bytes;
  bool FlagsKept;  // the flags before the damage were read
};

void PrintTo(const TSettingsCase& c, std::ostream* os) { *os << c.Name; }

class DamagedSettingsProgramTest : public ProgramFaultTest, public ::testing::WithParamInterface<TSettingsCase> {};

TEST_P(DamagedSettingsProgramTest, StartsWithTheFieldsReadAndLittleMemory) {
  Write(QStringLiteral("appdata/Varnoque/settings.dt"), GetParam().Bytes);
  TChildOptions options;
  options.Environment = {kUnusedUpdateServer};
  const TChildRun run = StartWindow(options);
  ExpectTheWindowCameUp(run);
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 200 * kMB) << run.Describe().toStdString();
  }
  // The settings written at the close hold what was read.
  QFile saved(SettingsPath());
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const TSettingsReadResult read = ReadSettingsRecord(saved.readAll(), TSettingsRecord());
  EXPECT_EQ(read.FieldsRead, SettingsFieldCount);
  EXPECT_EQ(read.Record.IgnoreCase, GetParam().FlagsKept);
  EXPECT_EQ(read.Record.ShowGridLines, !GetParam().FlagsKept);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSettingsProgramTest,
    ::testing::Values(
        TSettingsCase{"HistoryCountOf2To31", HeadThen(FlagsSet(), Int32(0x7FFFFFFF)), true},
        TSettingsCase{"HistoryCountOf2To31WithEmptyEntries",
                      HeadThen(FlagsSet(), Int32(0x7FFFFFFF) + Int32(0) + Int32(-1) + Int32(0)), true},
        TSettingsCase{"NegativeCountsThenCutShort",
                      HeadThen(FlagsSet(), Int32(-7) + Int32(-7) + QByteArray(1, '\1') + Int32(0x7FFFFFFF)), true},
        TSettingsCase{"FirstStringOf2To31Units", Int32(1) + Int32(0x7FFFFFFF) + "abcd", false},
        TSettingsCase{"FirstStringOfNegativeLength", Int32(1) + Int32(-1) + Int32(0x7FFFFFFF), false}),
    [](const auto& info) { return std::string(info.param.Name); });

// A link in place of the settings file that leads to a device without end (a node of the
// kind of /dev/zero, made for the test): nothing is read from it, and nothing replaces it.
TEST_F(ProgramFaultTest, ASettingsLinkToADeviceIsNeitherReadNorReplaced) {
  const QString device = FDir.filePath(QStringLiteral("zero-device"));
  if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0644, makedev(1, 5)) != 0)
    GTEST_SKIP() << "no device node can be made here";
  QDir().mkpath(FDir.filePath(QStringLiteral("appdata/Varnoque")));
  ASSERT_TRUE(QFile::link(device, SettingsPath()));
  TChildOptions options;
  options.Environment = {kUnusedUpdateServer};
  const TChildRun run = StartWindow(options);
  ExpectTheWindowCameUp(run);
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 200 * kMB) << run.Describe().toStdString();
  }
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device node was replaced";
  EXPECT_TRUE(QFileInfo(SettingsPath()).isSymLink());
}

// --- Damaged translation tables beside the executable: the window starts in English.

struct TTranslationCase {
  const char* Name;
  QByteArray Table;
};

void PrintTo(const TTranslationCase& c, std::ostream* os) { *os << c.Name; }

class DamagedTableProgramTest : public ProgramFaultTest, public ::testing::WithParamInterface<TTranslationCase> {};

TEST_P(DamagedTableProgramTest, TheWindowStarts) {
  TChildOptions options;
  options.Environment = {kUnusedUpdateServer, QStringLiteral("LANGUAGE=de"), QStringLiteral("LC_ALL=de_DE.UTF-8")};
  const QByteArray table = GetParam().Table;
  options.BesideProgram = [table](const QString& folder) {
    QFile file(folder + QStringLiteral("/transl.dt"));
    if (file.open(QIODevice::WriteOnly)) file.write(table);
  };
  const TChildRun run = StartWindow(options);
  ExpectTheWindowCameUp(run);
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 200 * kMB) << run.Describe().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DamagedTableProgramTest,
    ::testing::Values(TTranslationCase{"CodeLineMissing", "2\nEnglish\nDeutsch\nen\n"},
                      TTranslationCase{"NegativeCount", "-1\nEnglish\nen\n"},
                      TTranslationCase{"HugeCount", "2147483647\nEnglish\nDeutsch\nen\nde\n"},
                      TTranslationCase{"InvalidUtf8", "2\nEnglish\nDeutsch\nen\nde\nFile\nDa\xC0\xAFtei\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ProgramFaultTest, ATranslationLinkToADeviceIsNotRead) {
  const QString device = FDir.filePath(QStringLiteral("zero-device"));
  if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0644, makedev(1, 5)) != 0)
    GTEST_SKIP() << "no device node can be made here";
  TChildOptions options;
  options.Environment = {kUnusedUpdateServer};
  options.BesideProgram = [device](const QString& folder) { QFile::link(device, folder + QStringLiteral("/transl.dt")); };
  const TChildRun run = StartWindow(options);
  ExpectTheWindowCameUp(run);
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 200 * kMB) << run.Describe().toStdString();
  }
}

// --- Odd files and large inputs through the headless command.

// The TSV rows: every line of both sides once, in order, and nothing else.
void ExpectConsistentTsv(const QByteArray& out, qsizetype leftLines, qsizetype rightLines) {
  QList<QByteArray> rows = out.split('\n');
  ASSERT_GE(rows.size(), 2);
  rows.removeFirst();  // the header
  rows.removeLast();   // after the final line break
  qsizetype left = 0, right = 0;
  for (const QByteArray& row : rows) {
    const QList<QByteArray> fields = row.split('\t');
    ASSERT_EQ(fields.size(), 8) << row.toStdString();
    const qsizetype l = fields[1].toLongLong(), r = fields[2].toLongLong();
    if (l >= 0) {
      ASSERT_EQ(l, left++) << row.toStdString();
    }
    if (r >= 0) {
      ASSERT_EQ(r, right++) << row.toStdString();
    }
  }
  if (leftLines >= 0) {
    EXPECT_EQ(left, leftLines);
  }
  if (rightLines >= 0) {
    EXPECT_EQ(right, rightLines);
  }
}

TEST_F(ProgramFaultTest, FilesWithoutASizeAreReadToTheirEnd) {
  const TChildRun run = Compare({QStringLiteral("/proc/self/status"), QStringLiteral("/proc/self/status"),
                                 QStringLiteral("--mode"), QStringLiteral("text"), QStringLiteral("--format"),
                                 QStringLiteral("tsv")});
  ASSERT_TRUE(run.Exited) << run.Describe().toStdString();
  EXPECT_TRUE(run.ExitCode == 0 || run.ExitCode == 1) << run.Describe().toStdString();
  EXPECT_GT(run.Out.count('\n'), 20);
  ExpectConsistentTsv(run.Out, -1, -1);
}

TEST_F(ProgramFaultTest, APipeIsRefusedWithoutWaitingForAWriter) {
  const QString pipe = FDir.filePath(QStringLiteral("pipe"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
  const QString right = Write(QStringLiteral("r.txt"), "x\n");
  const faults::TPipeReleaser releaser(pipe, 8000);
  for (const char* mode : {"auto", "text", "documents"}) {
    const TChildRun run = Compare({pipe, right, QStringLiteral("--mode"), QString::fromLatin1(mode)});
    EXPECT_EQ(run.ExitCode, 2) << mode << ": " << run.Describe().toStdString();
    EXPECT_LT(run.ElapsedMs, 6000) << mode << ": the command waited for a writer of the pipe";
  }
}

TEST_F(ProgramFaultTest, FolderNamesThatAreNotUtf8AreListed) {
  Write(QStringLiteral("l/plain.txt"), "x");
  Write(QStringLiteral("r/plain.txt"), "x");
  for (const char* side : {"l", "r"}) {
    const QByteArray path = QFile::encodeName(FDir.filePath(QString::fromLatin1(side))) + "/caf\xE9.txt";
    FILE* raw = std::fopen(path.constData(), "w");
    ASSERT_NE(raw, nullptr);
    std::fputs(side[0] == 'l' ? "abc" : "abcd", raw);
    std::fclose(raw);
  }
  const TChildRun run = Compare({FDir.filePath(QStringLiteral("l")), FDir.filePath(QStringLiteral("r")),
                                 QStringLiteral("--format"), QStringLiteral("tsv")});
  EXPECT_EQ(run.ExitCode, 1) << run.Describe().toStdString();
  QStringList rows = QString::fromUtf8(run.Out).split(QLatin1Char('\n'));
  for (QString& row : rows) row = row.section(QLatin1Char('\t'), 0, 3);  // without the newer side
  EXPECT_EQ(rows, QStringList({"row\tleft\tright\tkind", QString::fromUtf8("1\tcaf\xEF\xBF\xBD.txt\tcaf\xEF\xBF\xBD.txt\tdifferent"),
                               "2\tplain.txt\tplain.txt\tequal", ""}));
}

QByteArray NumberedLines(int count, int changeEvery) {
  QByteArray text;
  text.reserve(qsizetype(count) * 40);
  for (int i = 0; i < count; ++i) {
    if (changeEvery > 0 && i % changeEvery == 7) text += "changed ";
    text += "line " + QByteArray::number(i) + " with some words of text in it\n";
  }
  return text;
}

// A large pair: the comparison completes and its memory stays within a few times the input.
TEST_F(ProgramFaultTest, ALargePairIsComparedInBoundedMemory) {
  constexpr int kLines = 200000;
  const QByteArray left = NumberedLines(kLines, 0);
  const QByteArray right = NumberedLines(kLines, 997);
  const TChildRun run = Compare({Write(QStringLiteral("l.txt"), left), Write(QStringLiteral("r.txt"), right),
                                 QStringLiteral("--format"), QStringLiteral("tsv")});
  EXPECT_EQ(run.ExitCode, 1) << run.Describe().toStdString();
  ExpectConsistentTsv(run.Out, kLines, kLines);
  const qint64 inputKb = (left.size() + right.size()) / 1024;
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 10 * inputKb + 100 * kMB) << run.Describe().toStdString();
  }
  std::printf("[ figures ] %d-line pair (%lld kB): %.2f s, peak %lld MB\n", kLines, inputKb, run.ElapsedMs / 1000.0,
              run.PeakRssKb / kMB);
}

TEST_F(ProgramFaultTest, ALineOfAMillionCharactersIsCompared) {
  QByteArray line;
  while (line.size() < 1000000) line += "word" + QByteArray::number(line.size() % 977) + ' ';
  QByteArray changed = line;
  changed[500000] = '#';
  const TChildRun run = Compare({Write(QStringLiteral("l.txt"), line + '\n'), Write(QStringLiteral("r.txt"), changed),
                                 QStringLiteral("--format"), QStringLiteral("tsv")});
  EXPECT_EQ(run.ExitCode, 1) << run.Describe().toStdString();
  EXPECT_EQ(run.Out.split('\n').value(1).split('\t').value(3), "different");
  if (faults::MeasuresMemory()) {
    EXPECT_LT(run.PeakRssKb, 20 * (2 * line.size() / 1024) + 100 * kMB) << run.Describe().toStdString();
  }
}

}  // namespace
