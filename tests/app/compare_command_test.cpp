// The headless command end to end: the built program run on files in a temporary folder.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TRun {
  int ExitCode = -1;
  QString Out;
  QString Err;
};

class CompareCommandTest : public ::testing::Test {
protected:
  QString Write(const char* name, const QByteArray& content) {
    const QString path = FDir.filePath(QString::fromLatin1(name));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }

  TRun Run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // Nothing answers on this port: documents fail at once.
    environment.insert(QStringLiteral("VARNOQUE_TIKA_URL"), QStringLiteral("http://127.0.0.1:9/tika"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VARNOQUE_BINARY_DIR "/bin/varnoque"), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
  }

  QTemporaryDir FDir;
};

TEST_F(CompareCommandTest, TsvListsEveryRowWithItsChangeRange) {
  const QString left = Write("l.txt", "same\nabcdef\nonly left\n");
  const QString right = Write("r.txt", "same\nabXYef\n");
  const TRun run = Run({"--compare", left, right, "--format", "tsv"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
  EXPECT_EQ(run.Out,
            "row\tleft\tright\tkind\tleft_change_start\tleft_change_len\tright_change_start\tright_change_len\n"
            "1\t0\t0\tequal\t-1\t0\t-1\t0\n"
            "2\t1\t1\tdifferent\t2\t2\t2\t2\n"
            "3\t2\t-1\tleft-only\t-1\t0\t-1\t0\n");
}

TEST_F(CompareCommandTest, TheTextListingEndsWithTheStatisticsLine) {
  const QString left = Write("l.txt", "a\nb\n");
  const QString right = Write("r.txt", "a\nc\n");
  const TRun run = Run({"--compare", left, right});
  EXPECT_EQ(run.ExitCode, 1);
  const QStringList lines = run.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[1].contains(QLatin1String(" | ")));
  EXPECT_EQ(lines[2],
            QStringLiteral("2 lines (left file) vs 2 lines (right file). Equal lines: 1 of 2 (50.0%). Different lines: 1."));
}

TEST_F(CompareCommandTest, OptionsFollowTheWindowsOrder) {
  const QString left = Write("l.txt", "Hello  World\n\n");
  const QString right = Write("r.txt", "hello world\n");
  EXPECT_EQ(Run({"--compare", left, right}).ExitCode, 1);
  EXPECT_EQ(Run({"--compare", left, right, "--ignore-case", "--ignore-space-change", "--ignore-blank-lines"}).ExitCode, 0);
}

TEST_F(CompareCommandTest, EncodingsAreReadAsTheWindowReadsThem) {
  const QString left = Write("utf16.txt", QByteArray("\xFF\xFE" "a\0\r\0\n\0\xE9\0", 10));
  const QString right = Write("utf8.txt", "a\n\xC3\xA9");
  EXPECT_EQ(Run({"--compare", left, right}).ExitCode, 0);
}

TEST_F(CompareCommandTest, TroubleExitsWithTwoAndAClearMessage) {
  const QString good = Write("good.txt", "x\n");
  const QString bad = Write("bad.txt", QByteArray("\xEF\xBB\xBF\xC0\xAF", 5));
  const struct {
    QStringList Arguments;
    const char* Message;
  } cases[] = {
      {{"--compare", good, FDir.filePath("missing.txt"), "--mode", "text"}, "Both paths must be existing files"},
      {{"--compare", FDir.filePath("missing.txt"), good}, "Left file does not exist."},
      {{"--compare", good, bad}, "bad.txt"},
      {{"--compare", good}, "expected two paths"},
      {{"--compare", good, good, "--format", "xml"}, "unknown value"},
      {{"--compare", good, good, "--frobnicate"}, "unknown option"},
      {{"--compare", good, FDir.path()}, "Both paths must be folders for folder comparison."},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.Arguments);
    EXPECT_EQ(run.ExitCode, 2) << c.Message;
    EXPECT_TRUE(run.Err.contains(QString::fromLatin1(c.Message))) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
  }
}

TEST_F(CompareCommandTest, HelpDescribesTheCommand) {
  const TRun run = Run({"--help"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_TRUE(run.Out.contains(QLatin1String("--ignore-blank-lines")));
  EXPECT_TRUE(run.Out.contains(QLatin1String("Exit status")));
}

TEST_F(CompareCommandTest, FoldersAreComparedFileByFile) {
  Write("left/same.txt", "1");
  Write("right/same.txt", "2");
  Write("left/only.txt", "x");
  const TRun run = Run({"--compare", FDir.filePath("left"), FDir.filePath("right"), "--format", "tsv"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
  EXPECT_EQ(run.Out, "row\tleft\tright\tkind\tnewer\n1\tonly.txt\t\tleft-only\t\n2\tsame.txt\tsame.txt\tequal\t\n");
  QFile::remove(FDir.filePath("left/only.txt"));
  EXPECT_EQ(Run({"--compare", FDir.filePath("left"), FDir.filePath("right"), "--mode", "folders"}).ExitCode, 0);
}

TEST_F(CompareCommandTest, DocumentsWithoutATikaServerFailWithTheHint) {
  const QString left = Write("a.pdf", "%PDF");
  const QString right = Write("b.pdf", "%PDF");
  const TRun run = Run({"--compare", left, right});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_TRUE(run.Err.contains(QLatin1String("Comparison failed.")));
  EXPECT_TRUE(run.Err.contains(QLatin1String("Left: Error: ")));
  EXPECT_TRUE(run.Err.contains(QLatin1String("reinstall Varnoque")));
}

}  // namespace
