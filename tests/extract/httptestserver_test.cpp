// The test server on the wire: the network tests trust it to frame, stall and drop answers as
// scripted and to record requests exactly, so those promises are checked with a raw socket.

#include "support/httptestserver.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class HttpTestServerTest : public ::testing::Test {
protected:
  void Connect() {
    Socket.connectToHost(QHostAddress::LocalHost, Server.Port());
    ASSERT_TRUE(Socket.waitForConnected(5000));
  }

  // Everything the server sends until it closes the connection or stays quiet for `quietMs`.
  QByteArray ReadUntilQuiet(int quietMs = 300) {
    QByteArray received;
    while (Socket.state() == QAbstractSocket::ConnectedState && Socket.waitForReadyRead(quietMs))
      received += Socket.readAll();
    return received + Socket.readAll();
  }

  THttpTestServer Server;
  QTcpSocket Socket;
};

TEST_F(HttpTestServerTest, RecordsARequestWithItsExactBody) {
  Server.Answer("/put", THttpAnswer::Text("done"));
  Connect();
  const QByteArray body("a\0b\r\n\xFF", 6);
  Socket.write("PUT /put?x=1 HTTP/1.1\r\nHost: here\r\nX-Name:  Value \r\nContent-Length: 6\r\n\r\n" + body);
  ASSERT_TRUE(Server.WaitForRequests(1));
  const THttpRequest request = Server.Requests()[0];
  EXPECT_EQ(request.Method, "PUT");
  EXPECT_EQ(request.Target, "/put?x=1");
  EXPECT_EQ(request.Path, "/put");
  EXPECT_EQ(request.Header("x-name"), "Value");
  EXPECT_TRUE(request.Body == body);
}

TEST_F(HttpTestServerTest, DecodesAChunkedRequestBody) {
  Connect();
  Socket.write("POST /c HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2;ext=1\r\nde\r\n0\r\n\r\n");
  ASSERT_TRUE(Server.WaitForRequests(1));
  EXPECT_EQ(Server.Requests()[0].Body, "abcde");
}

TEST_F(HttpTestServerTest, AnswersInTurnOnOneKeptConnection) {
  Server.AnswerInTurn("/p", {THttpAnswer::Text("first"), THttpAnswer::Text("second", 201, "Created")});
  Connect();
  Socket.write("GET /p HTTP/1.1\r\n\r\nGET /p HTTP/1.1\r\n\r\nGET /p HTTP/1.1\r\n\r\nGET /unknown HTTP/1.1\r\n\r\n");
  const QByteArray received = ReadUntilQuiet();
  EXPECT_EQ(received.count("HTTP/1.1 "), 4);
  EXPECT_TRUE(received.startsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(received.count("HTTP/1.1 201 Created\r\n"), 2) << "the last answer is repeated";
  EXPECT_TRUE(received.contains("HTTP/1.1 404 Not Found\r\n"));
  EXPECT_TRUE(received.contains("\r\n\r\nfirst"));
}

TEST_F(HttpTestServerTest, SendsChunksAndARawStatusLine) {
  THttpAnswer answer;
  answer.StatusLine = "HTTP/1.1 299";
  answer.Body = "abcdefg";
  answer.Framing = hfChunked;
  answer.PieceSize = 3;
  Server.Answer("/c", answer);
  Connect();
  Socket.write("GET /c HTTP/1.1\r\n\r\n");
  const QByteArray received = ReadUntilQuiet();
  EXPECT_TRUE(received.startsWith("HTTP/1.1 299\r\n"));
  EXPECT_TRUE(received.contains("Transfer-Encoding: chunked\r\n"));
  EXPECT_FALSE(received.contains("Content-Length"));
  EXPECT_TRUE(received.endsWith("\r\n\r\n3\r\nabc\r\n3\r\ndef\r\n1\r\ng\r\n0\r\n\r\n"));
}

TEST_F(HttpTestServerTest, StallsHalfWayThenEndsShort) {
  THttpAnswer answer;
  answer.Body = "0123456789";
  answer.StallAfter = 4;
  answer.StallMs = 200;
  answer.Ending = heClose;
  Server.Answer("/s", answer);
  Connect();
  Socket.write("GET /s HTTP/1.1\r\n\r\n");
  const QByteArray received = ReadUntilQuiet(3000);
  EXPECT_TRUE(received.contains("Content-Length: 10\r\n"));
  EXPECT_TRUE(received.endsWith("\r\n\r\n0123"));
  EXPECT_NE(Socket.state(), QAbstractSocket::ConnectedState);
}

// A reset, unlike an orderly close, makes the peer's read fail with ECONNRESET.
int ReadEndingOf(quint16 port, const char* request) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return -1;
  [[maybe_unused]] const auto sent = ::send(fd, request, std::strlen(request), 0);
  char buffer[512];
  ssize_t got = 0;
  while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {}
  const int ending = got == 0 ? 0 : errno;
  ::close(fd);
  return ending;
}

TEST_F(HttpTestServerTest, ResetsOrClosesTheConnection) {
  for (THttpEnding ending : {heReset, heClose}) {
    THttpAnswer answer = THttpAnswer::Text("partly sent");
    answer.StallAfter = 3;
    answer.StallMs = 0;
    answer.Ending = ending;
    Server.Answer("/r", answer);
    EXPECT_EQ(ReadEndingOf(Server.Port(), "GET /r HTTP/1.1\r\n\r\n"), ending == heReset ? ECONNRESET : 0);
  }
}

TEST_F(HttpTestServerTest, NothingListensOnAnUnusedPort) {
  QTcpSocket probe;
  probe.connectToHost(QHostAddress::LocalHost, THttpTestServer::UnusedPort());
  EXPECT_FALSE(probe.waitForConnected(5000));
  EXPECT_EQ(probe.error(), QAbstractSocket::ConnectionRefusedError);
}

}  // namespace
