// Document comparison in the window, end to end against the test server standing in for Tika:
// the requests, the two sides, the failure reports, saving, and a window that takes no user
// input while it waits for the server.

#include "extract/unreadablefile.h"
#include "support/httptestserver.h"
#include "support/windowfixture.h"

#include <QLocale>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kHint = QStringLiteral(
    "Perhaps you opted out of installing TIKA? If so, please reinstall Varnoque and confirm the TIKA "
    "installation when prompted.");

class DocumentComparisonTest : public WindowTest {
protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English));
    PointTikaAt(Server.Url(QStringLiteral("/tika")).toString());
    qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "5000");
    WindowTest::SetUp();
  }
  void TearDown() override {
    WindowTest::TearDown();
    qunsetenv("VARNOQUE_TIKA_URL");
    qunsetenv("VARNOQUE_TIKA_TIMEOUT_MS");
  }

  static void PointTikaAt(const QString& url) { qputenv("VARNOQUE_TIKA_URL", url.toUtf8()); }

  // The server answers the left document first, then the right one.
  void Answers(const THttpAnswer& left, const THttpAnswer& right) { Server.AnswerInTurn("/tika", {left, right}); }

  // Two documents with listed extensions: the Compare button sends them to the server.
  void CompareDocuments(const QByteArray& left = "%PDF left", const QByteArray& right = "PK right") {
    FLeftPath = Write(QStringLiteral("left.pdf"), left);
    FRightPath = Write(QStringLiteral("right.docx"), right);
    Compare(FLeftPath, FRightPath);
  }

  void ExpectFailureReported(const QString& failure) {
    EXPECT_EQ(Window->StatusText(), failure + QStringLiteral(" No comparable lines."));
    ASSERT_EQ(Ui.Messages.size(), 1) << Ui.MessageTexts().join(" | ").toStdString();
    EXPECT_EQ(Ui.Messages[0].Kind, mkWarning);
    EXPECT_EQ(Ui.Messages[0].Text, failure + kCrLf + kCrLf + kHint);
    EXPECT_TRUE(Window->DiffItems().isEmpty());
    EXPECT_EQ(Grid().RowCount(), 2) << "the grid shows one empty row";
    EXPECT_EQ(GridTexts(1), QStringList({""}));
    EXPECT_FALSE(Window->UnsavedChanges());
    EXPECT_EQ(Window->UndoCount(), 0);
    EXPECT_EQ(Ui.LastPointer(), crDefault);
    EXPECT_TRUE(TfrmMainTestAccess::Button(*Window, "btnSaveLeft")->isEnabled()) << "the commands stay enabled";
  }

  THttpTestServer Server;
  QString FLeftPath;
  QString FRightPath;
};

TEST_F(DocumentComparisonTest, TheExtractedTextsBecomeTheTwoSides) {
  Answers(THttpAnswer::Text("one\r\ntwo\r\nthree\r\n"), THttpAnswer::Text("one\nTWO\nthree"));
  const QByteArray left("%PDF-1.7\0\xFF\xFE binary\r\n", 20);
  const QByteArray right("PK\x03\x04\0\0 zipped\n", 15);
  CompareDocuments(left, right);

  EXPECT_EQ(Window->LeftLines(), QStringList({"one", "two", "three"}));
  EXPECT_EQ(Window->RightLines(), QStringList({"one", "TWO", "three"}));
  EXPECT_EQ(GridTexts(1), QStringList({"one", "two", "three"}));
  EXPECT_EQ(GridTexts(2), QStringList({"one", "TWO", "three"}));
  for (TSide side : {sdLeft, sdRight}) {
    EXPECT_EQ(Window->EncName(side), QStringLiteral("UTF-8 with BOM"));
    EXPECT_TRUE(Window->HasBOM(side));
  }
  EXPECT_FALSE(Window->FolderMode());
  EXPECT_TRUE(TfrmMainTestAccess::Button(*Window, "btnUndo")->isEnabled());
  EXPECT_TRUE(Window->StatusText().startsWith(QLatin1String("3 lines (left file) vs 3 lines (right file). ")));
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_TRUE(Ui.Messages[0].Text.startsWith(QLatin1String("Compared:")));

  const QList<THttpRequest> requests = Server.Requests();
  ASSERT_EQ(requests.size(), 2);
  for (const THttpRequest& request : requests) {
    EXPECT_EQ(request.Method, "PUT");
    EXPECT_EQ(request.Target, "/tika");
    EXPECT_EQ(request.Header("Content-Type"), "application/octet-stream");
    EXPECT_EQ(request.Header("Accept"), "text/plain; charset=utf-8");
  }
  EXPECT_TRUE(requests[0].Body == left);
  EXPECT_TRUE(requests[1].Body == right);
}

TEST_F(DocumentComparisonTest, IdenticalTextsSayItBeforeTheSummary) {
  Answers(THttpAnswer::Text("same\r\ntext"), THttpAnswer::Text("same\ntext\n"));
  Window->SetPaths(Write(QStringLiteral("a.txt"), "one"), Write(QStringLiteral("b.txt"), "two"));
  Window->RunCommand([this] { Window->miAsComplexDocumentsegPDFDOCXetcwithTIKA1Click(); });
  EXPECT_EQ(Server.Requests().size(), 2) << "the menu entry sends even text files to the server";
  ASSERT_EQ(Ui.Messages.size(), 2);
  EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("The files are identical."));
  EXPECT_EQ(Ui.Messages[1].Text, QStringLiteral("Compared:\r\n2 lines (left file) vs 2 lines (right file).\r\n"
                                                "Equal lines: 2 of 2 (100.0%).\r\nDifferent lines: 0."));
}

TEST_F(DocumentComparisonTest, ASavedSideIsUtf8WithAByteOrderMark) {
  Answers(THttpAnswer::Text("Gr\xC3\xBC\xC3\x9F" "e\nzwei"), THttpAnswer::Text("other"));
  CompareDocuments();
  const QString target = Path(QStringLiteral("saved.txt"));
  Ui.SaveAnswers.enqueue(target);
  Window->RunCommand([this] { Window->btnSaveLeftClick(); });
  EXPECT_EQ(Read(target), QByteArray("\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e\r\nzwei\r\n"));
}

struct TFailureCase {
  const char* Name;
  THttpAnswer Left;
  THttpAnswer Right;
  QString Failure;
  QStringList LeftLines;
  QStringList RightLines;
};

THttpAnswer RawStatus(const QByteArray& statusLine) {
  THttpAnswer answer = THttpAnswer::Text("no");
  answer.StatusLine = statusLine;
  return answer;
}

THttpAnswer Late() {
  THttpAnswer answer = THttpAnswer::Text("late");
  answer.DelayMs = 3000;
  return answer;
}

void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.Name; }

class DocumentFailureTest : public DocumentComparisonTest, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(DocumentFailureTest, IsReportedForBothSides) {
  qputenv("VARNOQUE_TIKA_TIMEOUT_MS", "300");
  Answers(GetParam().Left, GetParam().Right);
  CompareDocuments();
  EXPECT_EQ(Server.Requests().size(), 2) << "both sides are always requested";
  ExpectFailureReported(GetParam().Failure);
  EXPECT_EQ(Window->LeftLines(), GetParam().LeftLines);
  EXPECT_EQ(Window->RightLines(), GetParam().RightLines);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DocumentFailureTest,
    ::testing::Values(
        TFailureCase{"RightUnprocessable", THttpAnswer::Text("a\nb"),
                     THttpAnswer::Text("{}", 422, "Unprocessable Entity"),
                     "Comparison failed.\r\nLeft: OK\r\nRight: HTTP error (422): HTTP/1.1 422 Unprocessable Entity",
                     {"a", "b"}, {}},
        TFailureCase{"LeftFailsRightIsStillAsked", RawStatus("HTTP/1.1 500"), THttpAnswer::Text("r"),
                     "Comparison failed.\r\nLeft: HTTP error (500): HTTP/1.1 500\r\nRight: OK", {}, {"r"}},
        TFailureCase{"NoTextExtracted", THttpAnswer::Text(""), THttpAnswer::Text("r"),
                     "Comparison failed.\r\nLeft: \r\nRight: OK", {}, {"r"}},
        TFailureCase{"BothTooSlow", Late(), Late(),
                     "Comparison failed.\r\nLeft: Error: Read timed out.\r\nRight: Error: Read timed out.", {}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DocumentComparisonTest, NoServerListening) {
  PointTikaAt(QStringLiteral("http://127.0.0.1:%1/tika").arg(THttpTestServer::UnusedPort()));
  CompareDocuments();
  ExpectFailureReported(
      QStringLiteral("Comparison failed.\r\nLeft: Error: Connection refused\r\nRight: Error: Connection refused"));
}

TEST_F(DocumentComparisonTest, AFileThatCannotBeOpened) {
  Answers(THttpAnswer::Text("r"), THttpAnswer::Text("unused"));
  FLeftPath = Write(QStringLiteral("left.pdf"), "locked");
  FRightPath = Write(QStringLiteral("right.pdf"), "open");
  ASSERT_TRUE(unreadable::MakeUnreadable(FLeftPath));
  {
    unreadable::TPermissionsHonoured honoured;
    Compare(FLeftPath, FRightPath);
  }
  ExpectFailureReported(QStringLiteral("Comparison failed.\r\nLeft: Permission denied\r\nRight: OK"));
  ASSERT_EQ(Server.Requests().size(), 1) << "only the right file is sent";
  EXPECT_EQ(Server.Requests()[0].Body, "open");
}

TEST_F(DocumentComparisonTest, AFailureAfterASuccessLeavesNoOldRows) {
  Answers(THttpAnswer::Text("a\nb"), THttpAnswer::Text("a\nc"));
  CompareDocuments();
  ASSERT_EQ(Window->DiffItems().size(), 2);
  Ui.Clear();
  Answers(THttpAnswer::Text("x"), THttpAnswer::Text("", 503, "Service Unavailable"));
  CompareDocuments();
  ExpectFailureReported(
      QStringLiteral("Comparison failed.\r\nLeft: OK\r\nRight: HTTP error (503): HTTP/1.1 503 Service Unavailable"));
  EXPECT_EQ(Window->LeftLines(), QStringList({"x"}));
}

// A real click arrives from the window system; one queued while the window waits for the
// server must not start a command inside the wait. It runs once the comparison has ended.
class WaitingWindowTest : public DocumentComparisonTest {
protected:
  void QueueClick(QWidget* target) {
    QWindow* window = Window->windowHandle();
    const QPointF local = target->mapTo(Window.get(), target->rect().center());
    const QPointF global = target->mapToGlobal(target->rect().center());
    using Wsi = QWindowSystemInterface;
    Wsi::handleMouseEvent<Wsi::AsynchronousDelivery>(window, local, global, Qt::LeftButton, Qt::LeftButton,
                                                     QEvent::MouseButtonPress);
    Wsi::handleMouseEvent<Wsi::AsynchronousDelivery>(window, local, global, Qt::NoButton, Qt::LeftButton,
                                                     QEvent::MouseButtonRelease);
  }
  void QueueKey(int key, Qt::KeyboardModifiers modifiers) {
    using Wsi = QWindowSystemInterface;
    Wsi::handleKeyEvent<Wsi::AsynchronousDelivery>(Window->windowHandle(), QEvent::KeyPress, key, modifiers);
    Wsi::handleKeyEvent<Wsi::AsynchronousDelivery>(Window->windowHandle(), QEvent::KeyRelease, key, modifiers);
  }
};

// Counts the grid's paint events.
class TPaintCounter : public QObject {
public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
  int Paints = 0;
};

TEST_F(WaitingWindowTest, QueuedInputWaitsButPaintingGoesOn) {
  THttpAnswer slow = THttpAnswer::Text("a");
  slow.DelayMs = 1500;
  Server.AnswerInTurn("/tika", {slow, THttpAnswer::Text("a"), THttpAnswer::Text("a")});
  QToolButton* compare = TfrmMainTestAccess::Button(*Window, "btnCompare");
  TPaintCounter counter;
  Grid().viewport()->installEventFilter(&counter);

  int requestsDuringWait = -1;
  int paintsDuringWait = -1;
  // Once the left document has reached the server, the window is waiting for its answer.
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, Window.get(), [&] {
    if (Server.Requests().isEmpty()) return;
    poll.stop();
    requestsDuringWait = int(Server.Requests().size());
    QueueKey(Qt::Key_Z, Qt::ControlModifier);  // Undo: would beep, there is nothing to undo
    QueueClick(compare);
    counter.Paints = 0;
    Grid().viewport()->update();
    QTimer::singleShot(300, Window.get(), [&] { paintsDuringWait = counter.Paints; });
  });
  poll.start();
  CompareDocuments();

  EXPECT_EQ(requestsDuringWait, 1);
  EXPECT_GT(paintsDuringWait, 0) << "the grid was not painted during the wait";
  EXPECT_EQ(Server.Requests().size(), 2) << "the queued click started a comparison inside the wait";
  EXPECT_EQ(Ui.Beeps, 0) << "the queued key ran a command inside the wait";
  EXPECT_EQ(Ui.MessageTexts().size(), 2);  // identical, summary

  // Once the comparison has ended, the queued input reaches the window.
  QElapsedTimer clock;
  clock.start();
  while ((Server.Requests().size() < 4 || Ui.Beeps == 0) && clock.elapsed() < 10000) QTest::qWait(20);
  EXPECT_EQ(Ui.Beeps, 1);
  EXPECT_EQ(Server.Requests().size(), 4) << "the queued click never arrived";
  Grid().viewport()->removeEventFilter(&counter);
}

}  // namespace
