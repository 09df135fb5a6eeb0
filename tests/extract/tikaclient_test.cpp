// The Tika exchange against the test server: what is sent, and how each kind of answer becomes
// an extraction result.

#include "extract/tikaclient.h"
#include "extract/unreadablefile.h"
#include "support/httptestserver.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

class TikaClientTest : public ::testing::Test {
protected:
  void SetUp() override {
    qputenv("VARNOQUE_TIKA_URL", Server.Url(QStringLiteral("/tika")).toString().toUtf8());
    qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "5000");
  }
  void TearDown() override {
    qunsetenv("VARNOQUE_TIKA_URL");
    qunsetenv("VARNOQUE_TIKA_TIMEOUT_MS");
  }

  QString Write(const QString& name, const QByteArray& content) {
    QFile file(FDir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
  }

  TExtraction Extract(const THttpAnswer& answer) {
    Server.Answer("/tika", answer);
    return ExtractTextWithTika(Write(QStringLiteral("doc.pdf"), "%PDF-1.4 body"));
  }

  QTemporaryDir FDir;
  THttpTestServer Server;
};

// Every byte value, a NUL and bytes that are no valid UTF-8: the body must arrive untouched.
QByteArray BinaryDocument() {
  QByteArray bytes;
  for (int round = 0; round < 300; ++round)
    for (int value = 0; value < 256; ++value) bytes.append(char(value ^ round));
  return bytes;
}

TEST_F(TikaClientTest, SendsTheWholeFileInOnePutWithBothHeaders) {
  const QByteArray document = BinaryDocument();
  Server.Answer("/tika", THttpAnswer::Text("text"));
  const TExtraction result = ExtractTextWithTika(Write(QStringLiteral("doc.pdf"), document));
  EXPECT_TRUE(result.Success);
  const QList<THttpRequest> requests = Server.Requests();
  ASSERT_EQ(requests.size(), 1);
  EXPECT_EQ(requests[0].Method, "PUT");
  EXPECT_EQ(requests[0].Target, "/tika");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/octet-stream");
  EXPECT_EQ(requests[0].Header("Accept"), "text/plain; charset=utf-8");
  EXPECT_EQ(requests[0].Header("Content-Length"), QByteArray::number(document.size()));
  EXPECT_TRUE(requests[0].Body == document) << "the body differs from the file's bytes";
}

TEST_F(TikaClientTest, ALargeFileArrivesWhole) {
  QByteArray document;
  for (int i = 0; i < 16; ++i) document += BinaryDocument();
  Server.Answer("/tika", THttpAnswer::Text("text"));
  EXPECT_TRUE(ExtractTextWithTika(Write(QStringLiteral("big.pdf"), document)).Success);
  ASSERT_EQ(Server.Requests().size(), 1);
  EXPECT_EQ(Server.Requests()[0].Body.size(), document.size());
  EXPECT_TRUE(Server.Requests()[0].Body == document);
}

TEST_F(TikaClientTest, AnEmptyFileIsSentWithAnEmptyBody) {
  Server.Answer("/tika", THttpAnswer::Text("text"));
  EXPECT_TRUE(ExtractTextWithTika(Write(QStringLiteral("empty.pdf"), QByteArray())).Success);
  ASSERT_EQ(Server.Requests().size(), 1);
  EXPECT_EQ(Server.Requests()[0].Body, QByteArray());
}

struct TAnswerCase {
  const char* Name;
  THttpAnswer Answer;
  bool Success;
  QString Text;
  QString Error;
};

THttpAnswer WithStatusLine(const QByteArray& statusLine, const QByteArray& body = "details") {
  THttpAnswer answer = THttpAnswer::Text(body);
  answer.StatusLine = statusLine;
  return answer;
}

THttpAnswer Chunked(const QByteArray& body) {
  THttpAnswer answer = THttpAnswer::Text(body);
  answer.Framing = hfChunked;
  answer.PieceSize = 3;
  return answer;
}

THttpAnswer NamingCharset(const QByteArray& body, const QByteArray& charset) {
  THttpAnswer answer = THttpAnswer::Text(body);
  answer.Headers = {{"Content-Type", "text/plain; charset=" + charset}};
  return answer;
}

void PrintTo(const TAnswerCase& c, std::ostream* os) { *os << c.Name; }

class TikaAnswerTest : public TikaClientTest, public ::testing::WithParamInterface<TAnswerCase> {};

TEST_P(TikaAnswerTest, BecomesTheExtractionResult) {
  const TExtraction result = Extract(GetParam().Answer);
  EXPECT_EQ(result.Success, GetParam().Success);
  EXPECT_EQ(result.Text, GetParam().Text);
  EXPECT_EQ(result.Error, GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TikaAnswerTest,
    ::testing::Values(
        TAnswerCase{"CrLfText", THttpAnswer::Text("one\r\ntwo\r\n"), true, "one\r\ntwo\r\n", ""},
        TAnswerCase{"ChunkedText", Chunked("one\ntwo"), true, "one\ntwo", ""},
        TAnswerCase{"TextUntilClose",
                    [] {
                      THttpAnswer a = THttpAnswer::Text("until close");
                      a.Framing = hfUntilClose;
                      return a;
                    }(),
                    true, "until close", ""},
        TAnswerCase{"Utf8WhateverTheCharsetSays", NamingCharset("Gr\xC3\xBC\xC3\x9F" "e", "ISO-8859-1"), true,
                    QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e"), ""},
        TAnswerCase{"LeadingByteOrderMarkDropped", THttpAnswer::Text("\xEF\xBB\xBFtext"), true, "text", ""},
        TAnswerCase{"EmptySuccessBody", THttpAnswer::Text(""), false, "", ""},
        TAnswerCase{"NoContent", THttpAnswer::Text("", 204, "No Content"), false, "", ""},
        TAnswerCase{"UnprocessableEntity", THttpAnswer::Text("bad", 422, "Unprocessable Entity"), false, "",
                    "HTTP error (422): HTTP/1.1 422 Unprocessable Entity"},
        TAnswerCase{"ServerError", THttpAnswer::Text("", 500, "Internal Server Error"), false, "",
                    "HTTP error (500): HTTP/1.1 500 Internal Server Error"},
        TAnswerCase{"StatusLineWithoutReason", WithStatusLine("HTTP/1.1 422"), false, "",
                    "HTTP error (422): HTTP/1.1 422"},
        TAnswerCase{"StatusLineWithEmptyReason", WithStatusLine("HTTP/1.1 503 "), false, "",
                    "HTTP error (503): HTTP/1.1 503"},
        TAnswerCase{"RedirectIsNotFollowed", THttpAnswer::Redirect(302, "/elsewhere"), false, "",
                    "HTTP error (302): HTTP/1.1 302 Found"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TikaClientTest, AnswerWithoutCharsetIsUtf8) {
  THttpAnswer answer;
  answer.Body = "\xE2\x82\xAC 5";
  const TExtraction result = Extract(answer);
  EXPECT_TRUE(result.Success);
  EXPECT_EQ(result.Text, QString::fromUtf8("\xE2\x82\xAC 5"));
}

// Failures of the exchange itself carry "Error:" and the platform's message.
struct TFailureCase {
  const char* Name;
  THttpAnswer Answer;
};

void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.Name; }

class TikaFailureTest : public TikaClientTest, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(TikaFailureTest, IsReportedWithTheFailuresMessage) {
  qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "300");
  const TExtraction result = Extract(GetParam().Answer);
  EXPECT_FALSE(result.Success);
  EXPECT_TRUE(result.Text.isEmpty());
  EXPECT_TRUE(result.Error.startsWith(QLatin1String("Error: "))) << result.Error.toStdString();
  EXPECT_GT(result.Error.size(), 7) << "the failure's message is missing";
  // A connection dropped before any answer may be tried once more by the HTTP client itself.
  EXPECT_GE(Server.Requests().size(), 1);
}

THttpAnswer Late() {
  THttpAnswer answer = THttpAnswer::Text("too late");
  answer.DelayMs = 3000;
  return answer;
}

THttpAnswer StallingHalfWay(THttpEnding ending, int stallMs) {
  THttpAnswer answer = THttpAnswer::Text(QByteArray(2000, 'x'));
  answer.StallAfter = 1000;
  answer.StallMs = stallMs;
  answer.Ending = ending;
  return answer;
}

THttpAnswer Unanswered(THttpEnding ending) {
  THttpAnswer answer;
  answer.Silent = true;
  answer.Ending = ending;
  return answer;
}

INSTANTIATE_TEST_SUITE_P(Failures, TikaFailureTest,
                         ::testing::Values(TFailureCase{"AnswerLaterThanTheTimeout", Late()},
                                           TFailureCase{"NeverAnswered", Unanswered(heKeepAlive)},
                                           TFailureCase{"BodyStallsHalfWay", StallingHalfWay(heKeepAlive, -1)},
                                           TFailureCase{"BodyEndsShort", StallingHalfWay(heClose, 0)},
                                           TFailureCase{"ResetHalfWay", StallingHalfWay(heReset, 0)},
                                           TFailureCase{"ClosedUnanswered", Unanswered(heClose)},
                                           TFailureCase{"ResetUnanswered", Unanswered(heReset)}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TikaClientTest, TheTimeoutIsNamedAsSuch) {
  qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "300");
  EXPECT_EQ(Extract(Late()).Error, QStringLiteral("Error: Read timed out."));
}

// The time-out limits each wait for data, not the whole transfer: a slow but steady answer
// that takes longer in total than the time-out arrives whole.
TEST_F(TikaClientTest, ASteadyAnswerOutlastsTheTimeout) {
  qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "400");
  THttpAnswer answer = THttpAnswer::Text(QByteArray(20, 'y'));
  answer.PieceSize = 2;
  answer.PieceDelayMs = 100;
  const TExtraction result = Extract(answer);
  EXPECT_TRUE(result.Success) << result.Error.toStdString();
  EXPECT_EQ(result.Text, QString(20, u'y'));
}

TEST_F(TikaClientTest, NoServerListening) {
  qputenv("VARNOQUE_TIKA_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(THttpTestServer::UnusedPort()) + "/tika");
  const TExtraction result = ExtractTextWithTika(Write(QStringLiteral("doc.pdf"), "x"));
  EXPECT_FALSE(result.Success);
  EXPECT_EQ(result.Error, QStringLiteral("Error: Connection refused"));
}

TEST_F(TikaClientTest, AFileThatCannotBeOpenedIsNotSent) {
  const QString missing = FDir.filePath(QStringLiteral("missing.pdf"));
  const TExtraction gone = ExtractTextWithTika(missing);
  EXPECT_FALSE(gone.Success);
  EXPECT_FALSE(gone.Error.isEmpty());

  const QString locked = Write(QStringLiteral("locked.pdf"), "secret");
  ASSERT_TRUE(unreadable::MakeUnreadable(locked));
  unreadable::TPermissionsHonoured honoured;
  const TExtraction denied = ExtractTextWithTika(locked);
  EXPECT_FALSE(denied.Success);
  EXPECT_EQ(denied.Error, QStringLiteral("Permission denied"));
  EXPECT_TRUE(Server.Requests().isEmpty());
}

TEST(TikaSettingsTest, EndpointAndTimeoutDefaults) {
  qunsetenv("VARNOQUE_TIKA_URL");
  qunsetenv("VARNOQUE_TIKA_TIMEOUT_MS");
  EXPECT_EQ(TikaEndpoint().port(), 9998);
  EXPECT_EQ(TikaEndpoint().path(), QStringLiteral("/tika"));
  EXPECT_EQ(TikaEndpoint().scheme(), QStringLiteral("http"));
  EXPECT_EQ(TikaReadTimeout(), 30000);
  qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "nonsense");
  EXPECT_EQ(TikaReadTimeout(), 30000);
  qunsetenv("VARNOQUE_TIKA_TIMEOUT_MS");
}

}  // namespace
