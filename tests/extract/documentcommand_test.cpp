// `varnoque --compare` on documents, the built program against the test server: the listing on
// success, exit status 2 with both sides' results on stderr when an extraction fails.

#include "extract/unreadablefile.h"
#include "support/httptestserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QString kHint = QStringLiteral(
    "Perhaps you opted out of installing TIKA? If so, please reinstall Varnoque and confirm the TIKA "
    "installation when prompted.");

struct TRun {
  int ExitCode = -1;
  QString Out;
  QString Err;
};

class DocumentCommandTest : public ::testing::Test {
protected:
  QString Write(const char* name, const QByteArray& content) {
    QFile file(FDir.filePath(QString::fromLatin1(name)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
  }

  TRun Run(const QStringList& arguments, bool honourPermissions = false) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("VARNOQUE_TIKA_URL"), TikaUrl);
    environment.insert(QStringLiteral("VARNOQUE_TIKA_TIMEOUT_MS"), QStringLiteral("300"));
    process.setProcessEnvironment(environment);
    if (honourPermissions) unreadable::HonourPermissionsIn(process);
    process.start(QStringLiteral(VARNOQUE_BINARY_DIR "/bin/varnoque"), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
  }

  // The failure report as the command prints it: the side results, an empty line, the hint.
  static QString Report(const QString& left, const QString& right) {
    return QStringLiteral("varnoque: Comparison failed.\nLeft: %1\nRight: %2\n\n%3\n").arg(left, right, kHint);
  }

  QTemporaryDir FDir;
  THttpTestServer Server;
  QString TikaUrl = Server.Url(QStringLiteral("/tika")).toString();
};

TEST_F(DocumentCommandTest, DocumentModeListsTheExtractedLines) {
  Server.AnswerInTurn("/tika", {THttpAnswer::Text("one\r\ntwo\r\n"), THttpAnswer::Text("one\nsix")});
  const QString left = Write("l.txt", "left bytes");
  const QString right = Write("r.txt", "right bytes");
  const TRun run = Run({"--compare", left, right, "--mode", "documents", "--format", "tsv"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
  EXPECT_EQ(run.Out,
            "row\tleft\tright\tkind\tleft_change_start\tleft_change_len\tright_change_start\tright_change_len\n"
            "1\t0\t0\tequal\t-1\t0\t-1\t0\n"
            "2\t1\t1\tdifferent\t0\t3\t0\t3\n");
  const QList<THttpRequest> requests = Server.Requests();
  ASSERT_EQ(requests.size(), 2);
  EXPECT_EQ(requests[0].Body, "left bytes");
  EXPECT_EQ(requests[1].Body, "right bytes");
  for (const THttpRequest& request : requests) {
    EXPECT_EQ(request.Method, "PUT");
    EXPECT_EQ(request.Path, "/tika");
    EXPECT_EQ(request.Header("Content-Type"), "application/octet-stream");
    EXPECT_EQ(request.Header("Accept"), "text/plain; charset=utf-8");
  }
}

TEST_F(DocumentCommandTest, AutomaticModeSendsTwoListedExtensions) {
  Server.AnswerInTurn("/tika", {THttpAnswer::Text("same\r\n"), THttpAnswer::Text("same")});
  const QString left = Write("l.pdf", "plain text, but a listed extension");
  const QString right = Write("r.DOCX", "also plain");
  const TRun run = Run({"--compare", left, right, "--mode", "auto"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
  EXPECT_EQ(Server.Requests().size(), 2);
  EXPECT_TRUE(run.Out.endsWith(QLatin1String("1 lines (left file) vs 1 lines (right file). "
                                             "Equal lines: 1 of 1 (100.0%). Different lines: 0.\n")))
      << run.Out.toStdString();
}

TEST_F(DocumentCommandTest, AutomaticModeComparesUnlistedTextDirectly) {
  const TRun run = Run({"--compare", Write("l.pdf", "a\n"), Write("r.txt", "a\n")});
  EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
  EXPECT_TRUE(Server.Requests().isEmpty());
}

struct TFailureCase {
  const char* Name;
  THttpAnswer Left;
  THttpAnswer Right;
  QString LeftResult;
  QString RightResult;
};

THttpAnswer Late() {
  THttpAnswer answer = THttpAnswer::Text("late");
  answer.DelayMs = 3000;
  return answer;
}

void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.Name; }

class DocumentCommandFailureTest : public DocumentCommandTest, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(DocumentCommandFailureTest, ExitsWithTroubleAndBothResults) {
  Server.AnswerInTurn("/tika", {GetParam().Left, GetParam().Right});
  for (const char* mode : {"documents", "auto"}) {
    const qsizetype before = Server.Requests().size();
    const TRun run = Run({"--compare", Write("l.pdf", "L"), Write("r.xlsx", "R"), "--mode", mode});
    EXPECT_EQ(run.ExitCode, 2) << mode;
    EXPECT_EQ(run.Err, Report(GetParam().LeftResult, GetParam().RightResult)) << mode;
    EXPECT_TRUE(run.Out.isEmpty()) << mode;
    EXPECT_EQ(Server.Requests().size(), before + 2) << mode;
    Server.AnswerInTurn("/tika", {GetParam().Left, GetParam().Right});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DocumentCommandFailureTest,
    ::testing::Values(
        TFailureCase{"RightUnprocessable", THttpAnswer::Text("ok"),
                     THttpAnswer::Text("", 422, "Unprocessable Entity"), "OK",
                     "HTTP error (422): HTTP/1.1 422 Unprocessable Entity"},
        TFailureCase{"LeftEmptyRightTooSlow", THttpAnswer::Text(""), Late(), "", "Error: Read timed out."}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DocumentCommandTest, NoServerListening) {
  TikaUrl = QStringLiteral("http://127.0.0.1:%1/tika").arg(THttpTestServer::UnusedPort());
  const TRun run = Run({"--compare", Write("l.pdf", "L"), Write("r.pdf", "R"), "--mode", "documents"});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Err, Report("Error: Connection refused", "Error: Connection refused"));
}

TEST_F(DocumentCommandTest, AFileThatCannotBeOpened) {
  Server.Answer("/tika", THttpAnswer::Text("left text"));
  const QString right = Write("r.pdf", "R");
  ASSERT_TRUE(unreadable::MakeUnreadable(right));
  const TRun run = Run({"--compare", Write("l.pdf", "L"), right, "--mode", "documents"}, true);
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Err, Report("OK", "Permission denied"));
  EXPECT_EQ(Server.Requests().size(), 1);
}

}  // namespace
