// The start-up version check against the test server: the two requests, the three outcomes and
// every failure that must end in no notice.

#include "support/httptestserver.h"
#include "update/versioncheck.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QByteArray kVersionPath = "/download/version/varnoque-version.html";
const QByteArray kChangesPath = "/download/version/varnoque-changes.html";
const QString kTail = QStringLiteral("\r\n\r\nWhat's new:\r\n");

class VersionCheckTest : public ::testing::Test {
protected:
  void SetUp() override {
    UpdateNotice() = TUpdateNotice();
    qputenv("VARNOQUE_UPDATE_URL", Server.Url().toString().toUtf8());
  }
  void TearDown() override {
    qunsetenv("VARNOQUE_UPDATE_URL");
    UpdateNotice() = TUpdateNotice();
  }

  void Pages(const QByteArray& version, const QByteArray& changes) {
    Server.Answer(kVersionPath, THttpAnswer::Text(version));
    Server.Answer(kChangesPath, THttpAnswer::Text(changes));
  }

  void ExpectNoNotice() {
    EXPECT_FALSE(CheckForNewVersion());
    EXPECT_FALSE(UpdateNotice().UpdateRequired);
    EXPECT_TRUE(UpdateNotice().UpdateMessage.isEmpty());
  }

  THttpTestServer Server;
};

struct TOutcomeCase {
  const char* Name;
  QByteArray VersionPage;
  QByteArray ChangesPage;
  bool Notice;
  bool Required;
  QString Message;
};

void PrintTo(const TOutcomeCase& c, std::ostream* os) { *os << c.Name; }

class VersionOutcomeTest : public VersionCheckTest, public ::testing::WithParamInterface<TOutcomeCase> {};

TEST_P(VersionOutcomeTest, FollowsTheVersionLine) {
  Pages(GetParam().VersionPage, GetParam().ChangesPage);
  EXPECT_EQ(CheckForNewVersion(), GetParam().Notice);
  EXPECT_EQ(UpdateNotice().UpdateRequired, GetParam().Required);
  EXPECT_EQ(UpdateNotice().UpdateMessage, GetParam().Message);
}

const QString kOptional21 = QStringLiteral("The new version 2.1 is available");
QString Required(const char* version) {
  return QStringLiteral("This version of the software is out of date. You must download the current version %1 "
                        "to continue using the software.")
      .arg(QLatin1String(version));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, VersionOutcomeTest,
    ::testing::Values(
        TOutcomeCase{"Current", "20/20", "- a", false, false, ""},
        TOutcomeCase{"Optional", "21/20\r\nignored/line\r\n", "- faster\r\n- safer\r\n", true, false,
                     kOptional21 + kTail + "- faster\r\n- safer\r\n"},
        TOutcomeCase{"Required", "21/21", "- fix", true, true, Required("2.1") + kTail + "- fix\r\n"},
        TOutcomeCase{"RequiredEvenWhenNotNewer", "19/25\n", "x", true, true, Required("1.9") + kTail + "x\r\n"},
        TOutcomeCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF" "105/20", "", true, false,
                     QStringLiteral("The new version 10.5 is available") + kTail},
        TOutcomeCase{"EmptyLinesGoBlankLinesStay", "21/20", "\r\n- one\r\n\r\n   \r\n\n- two\n\n", true, false,
                     kOptional21 + kTail + "- one\r\n   \r\n- two\r\n"},
        TOutcomeCase{"EmptyChangesPage", "21/20", "", true, false, kOptional21 + kTail},
        TOutcomeCase{"NoSlash", "21", "x", false, false, ""},
        TOutcomeCase{"NotAnInteger", "2x/20", "x", false, false, ""},
        TOutcomeCase{"EmptyVersionPage", "", "x", false, false, ""},
        TOutcomeCase{"EmptyFirstLine", "\n21/20", "x", false, false, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(VersionCheckTest, AsksForBothPagesWithItsUserAgent) {
  Pages("21/20", "- x");
  ASSERT_TRUE(CheckForNewVersion());
  const QList<THttpRequest> requests = Server.Requests();
  ASSERT_EQ(requests.size(), 2);
  EXPECT_EQ(requests[0].Path, kVersionPath);
  EXPECT_EQ(requests[1].Path, kChangesPath);
  for (const THttpRequest& request : requests) {
    EXPECT_EQ(request.Method, "GET");
    EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0 (compatible; MyApp)");
    EXPECT_TRUE(request.Body.isEmpty());
  }
}

TEST_F(VersionCheckTest, AnEmptyVersionPageSkipsTheChangesPage) {
  Pages("", "x");
  ExpectNoNotice();
  EXPECT_EQ(Server.Requests().size(), 1);
}

TEST_F(VersionCheckTest, AFailingChangesPageCancelsTheNotice) {
  Server.Answer(kVersionPath, THttpAnswer::Text("21/21"));
  Server.Answer(kChangesPath, THttpAnswer::Text("gone", 404, "Not Found"));
  ExpectNoNotice();
  EXPECT_EQ(Server.Requests().size(), 2);
}

TEST_F(VersionCheckTest, AFailingVersionPageMeansNoNotice) {
  Server.Answer(kVersionPath, THttpAnswer::Text("21/21", 500, "Internal Server Error"));
  ExpectNoNotice();
}

TEST_F(VersionCheckTest, AChangesPageCutShortMeansNoNotice) {
  Server.Answer(kVersionPath, THttpAnswer::Text("21/21"));
  THttpAnswer cut = THttpAnswer::Text("- one\r\n- two\r\n");
  cut.StallAfter = 4;
  cut.StallMs = 0;
  cut.Ending = heReset;
  Server.Answer(kChangesPath, cut);
  ExpectNoNotice();
}

TEST_F(VersionCheckTest, NoServerAtAll) {
  qputenv("VARNOQUE_UPDATE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(THttpTestServer::UnusedPort()));
  ExpectNoNotice();
}

// The version page answered through a chain of redirects of the given length.
class RedirectChainTest : public VersionCheckTest, public ::testing::WithParamInterface<int> {};

TEST_P(RedirectChainTest, UpToTenRedirectsAreFollowed) {
  const int hops = GetParam();
  QByteArray from = kVersionPath;
  for (int hop = 1; hop <= hops; ++hop) {
    const QByteArray to = "/hop/" + QByteArray::number(hop);
    // Relative and absolute targets, and the usual redirect codes.
    const QByteArray location = hop % 2 ? to : Server.Url(QString::fromLatin1(to)).toString().toUtf8();
    Server.Answer(from, THttpAnswer::Redirect(hop % 3 == 0 ? 301 : hop % 3 == 1 ? 302 : 307, location));
    from = to;
  }
  Server.Answer(from, THttpAnswer::Text("21/20"));
  Server.Answer(kChangesPath, THttpAnswer::Text("- x"));
  const bool followed = hops <= 10;
  EXPECT_EQ(CheckForNewVersion(), followed);
  EXPECT_EQ(UpdateNotice().UpdateMessage.isEmpty(), !followed);
  for (const THttpRequest& request : Server.Requests())
    EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0 (compatible; MyApp)") << request.Path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Hops, RedirectChainTest, ::testing::Values(1, 10, 11),
                         [](const auto& info) { return std::to_string(info.param) + "Hops"; });

TEST(UpdateAddressTest, TheBaseAddressCanBeReplaced) {
  qunsetenv("VARNOQUE_UPDATE_URL");
  EXPECT_EQ(UpdateAddress(QStringLiteral("/download/varnoque.exe")).toString(),
            QStringLiteral("https://www.varnoque.example/download/varnoque.exe"));
  qputenv("VARNOQUE_UPDATE_URL", "http://127.0.0.1:8080/");
  EXPECT_EQ(UpdateAddress(QStringLiteral("/download/varnoque.exe")).toString(),
            QStringLiteral("http://127.0.0.1:8080/download/varnoque.exe"));
  qunsetenv("VARNOQUE_UPDATE_URL");
}

}  // namespace
