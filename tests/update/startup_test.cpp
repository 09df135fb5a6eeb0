// The program entry end to end: the built program started with its update address at the test
// server reaches its main window when there is no notice to show. The window is seen at work
// by the comparison it starts for the two paths on its command line.

#include "support/httptestserver.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The window's comparison waits for an answer that never comes, so it shows no box.
    THttpAnswer silent;
    silent.Silent = true;
    Server.Answer("/tika", silent);
  }

  // Starts the program; true when its main window asked for a document's text.
  bool StartsItsWindow(const QString& updateAddress) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("APPDATA"), FDir.filePath(QStringLiteral("appdata")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), FDir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("VARNOQUE_UPDATE_URL"), updateAddress);
    environment.insert(QStringLiteral("VARNOQUE_TIKA_URL"), Server.Url(QStringLiteral("/tika")).toString());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VARNOQUE_BINARY_DIR "/bin/varnoque"),
                  {FDir.filePath(QStringLiteral("a.pdf")), FDir.filePath(QStringLiteral("b.pdf"))});
    EXPECT_TRUE(process.waitForStarted());
    bool windowAtWork = false;
    for (int tries = 0; tries < 600 && !windowAtWork && process.state() == QProcess::Running; ++tries) {
      process.waitForFinished(50);
      for (const THttpRequest& request : Server.Requests()) windowAtWork = windowAtWork || request.Path == "/tika";
    }
    process.kill();
    process.waitForFinished();
    return windowAtWork;
  }

  void WriteDocuments() {
    for (const char* name : {"a.pdf", "b.pdf"}) {
      QFile file(FDir.filePath(QString::fromLatin1(name)));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("%PDF");
    }
  }

  QTemporaryDir FDir;
  THttpTestServer Server;
};

TEST_F(StartupTest, NoNoticeGoesOnToTheMainWindow) {
  WriteDocuments();
  Server.Answer("/download/version/varnoque-version.html", THttpAnswer::Text("20/20"));
  Server.Answer("/download/version/varnoque-changes.html", THttpAnswer::Text("- x"));
  EXPECT_TRUE(StartsItsWindow(Server.Url().toString()));
  const QList<THttpRequest> requests = Server.Requests();
  ASSERT_GE(requests.size(), 3);
  EXPECT_EQ(requests[0].Path, "/download/version/varnoque-version.html");
  EXPECT_EQ(requests[1].Path, "/download/version/varnoque-changes.html");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Mozilla/4.0 (compatible; MyApp)");
}

TEST_F(StartupTest, NoUpdateServerGoesOnToTheMainWindow) {
  WriteDocuments();
  EXPECT_TRUE(StartsItsWindow(QStringLiteral("http://127.0.0.1:%1").arg(THttpTestServer::UnusedPort())));
}

}  // namespace
