// The program as a user starts it: the window comes up, and a termination signal closes it the
// way the close box does, so the settings are written.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <csignal>

namespace {

class ProgramTest : public ::testing::TestWithParam<int> {};

TEST_P(ProgramTest, ATerminationSignalClosesTheWindowAndKeepsTheSettings) {
  QTemporaryDir folder;
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("APPDATA"), folder.path());
  // Nothing answers there: the version check fails at once and shows nothing.
  environment.insert(QStringLiteral("VARNOQUE_UPDATE_URL"), QStringLiteral("http://127.0.0.1:9"));
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(VARNOQUE_BINARY_DIR "/bin/varnoque"), {});
  ASSERT_TRUE(program.waitForStarted());
  const QString settings = folder.filePath(QStringLiteral("Varnoque/settings.dt"));
  // The settings folder is made while the window is created.
  for (int waited = 0; waited < 100 && !QDir(folder.filePath(QStringLiteral("Varnoque"))).exists(); ++waited)
    QThread::msleep(100);
  QThread::msleep(300);
  ASSERT_FALSE(QFile::exists(settings));
  ::kill(pid_t(program.processId()), GetParam());
  ASSERT_TRUE(program.waitForFinished(10000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_TRUE(QFile::exists(settings));
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramTest, ::testing::Values(SIGTERM, SIGINT));

}  // namespace
