// The update dialog offscreen with the recording desktop, its download against the test server,
// and the program entry's offer with the real desktop.

#include "app/userinterface.h"
#include "support/httptestserver.h"
#include "support/recordingui.h"
#include "update/tfrmnewversion.h"
#include "update/updateoffer.h"
#include "update/versioncheck.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QByteArray kInstallerPath = "/download/varnoque.exe";
const QString kFailed = QStringLiteral("Failed to download update. Please download manually on website.\r\n\r\n");
const QString kHomePage = QStringLiteral("https://www.varnoque.example");

class NewVersionDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The installer lands in the temporary folder: each test has its own.
    qputenv("TMPDIR", FTemp.path().toLocal8Bit());
    qputenv("VARNOQUE_UPDATE_URL", Server.Url().toString().toUtf8());
    Notice(false);
  }
  void TearDown() override {
    qunsetenv("TMPDIR");
    qunsetenv("VARNOQUE_UPDATE_URL");
    UpdateNotice() = TUpdateNotice();
  }

  static void Notice(bool required, const QString& message = QStringLiteral("The new version 2.1 is available")) {
    UpdateNotice().UpdateRequired = required;
    UpdateNotice().UpdateMessage = message;
  }

  // Shows the dialog modally; the script plays the user.
  int Show(const std::function<void(TfrmNewVersion&)>& script) {
    TfrmNewVersion dialog(Ui);
    QObject::connect(dialog.ProgressBar1, &QProgressBar::valueChanged, [this](int value) { BarValues.append(value); });
    Ui.ModalScript = [&](QDialog& shown) { script(static_cast<TfrmNewVersion&>(shown)); };
    Ui.ShowModal(dialog);
    EXPECT_FALSE(dialog.isVisible());
    return dialog.Tag();
  }

  int UpdateNow() {
    return Show([](TfrmNewVersion& dialog) { QTest::mouseClick(dialog.btUpdateNow, Qt::LeftButton); });
  }

  static QByteArray Installer() {
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i) bytes.append(char('A' + i % 26));
    return bytes;
  }

  static QByteArray Downloaded() {
    QFile file(TfrmNewVersion::DownloadPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  void ExpectFailure(const QString& reason) {
    ASSERT_EQ(Ui.Messages.size(), 1);
    EXPECT_EQ(Ui.Messages[0].Kind, mkError);
    EXPECT_EQ(Ui.Messages[0].Text, kFailed + reason);
    EXPECT_EQ(Ui.OpenedUrls, QStringList({kHomePage}));
    EXPECT_TRUE(Ui.OpenedFiles.isEmpty()) << "a failed download was started";
    EXPECT_FALSE(QFile::exists(TfrmNewVersion::DownloadPath())) << "a failed download was left behind";
  }

  QTemporaryDir FTemp;
  THttpTestServer Server;
  TRecordingUserInterface Ui;
  QList<int> BarValues;
};

struct TOfferCase {
  const char* Name;
  bool Required;
  const char* SecondButton;
  int TagAfterIt;
};

void PrintTo(const TOfferCase& c, std::ostream* os) { *os << c.Name; }

class OfferTest : public NewVersionDialogTest, public ::testing::WithParamInterface<TOfferCase> {};

TEST_P(OfferTest, ShowsTheNoticeAndTheTwoChoices) {
  Notice(GetParam().Required, QStringLiteral("<b>2.1</b>\r\n\r\nWhat's new:\r\n"));
  const int tag = Show([](TfrmNewVersion& dialog) {
    EXPECT_EQ(dialog.Tag(), 1);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral(" Varnoque"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("<b>2.1</b>\r\n\r\nWhat's new:\r\n"));
    EXPECT_EQ(dialog.Label1->textFormat(), Qt::PlainText) << "the message is shown as it is";
    EXPECT_EQ(dialog.btUpdateNow->text(), QStringLiteral("Update Now"));
    EXPECT_FALSE(dialog.ProgressBar1->isVisible());
    EXPECT_EQ(dialog.size(), QSize(420, 189));
    QTest::mouseClick(dialog.btCancel, Qt::LeftButton);
  });
  EXPECT_EQ(tag, GetParam().TagAfterIt);
  EXPECT_TRUE(Server.Requests().isEmpty());
  EXPECT_TRUE(Ui.Messages.isEmpty());
}

TEST_P(OfferTest, TheCloseBoxEndsLikeTheSecondButton) {
  Notice(GetParam().Required);
  const QString second = QString::fromLatin1(GetParam().SecondButton);
  EXPECT_EQ(Show([&second](TfrmNewVersion& dialog) {
              EXPECT_EQ(dialog.btCancel->text(), second);
              dialog.close();
            }),
            GetParam().TagAfterIt);
}

INSTANTIATE_TEST_SUITE_P(Levels, OfferTest,
                         ::testing::Values(TOfferCase{"Optional", false, "Skip", 1},
                                           TOfferCase{"Required", true, "Exit", 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(NewVersionDialogTest, DownloadsTheInstallerWithProgressAndStartsIt) {
  THttpAnswer answer;
  answer.Body = Installer();
  answer.PieceSize = 10000;
  answer.PieceDelayMs = 20;
  Server.Answer(kInstallerPath, answer);
  EXPECT_EQ(UpdateNow(), 0) << "the program ends after Update Now, also for an optional update";
  EXPECT_TRUE(UpdateNotice().UpdateRequired);
  EXPECT_TRUE(Ui.Messages.isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
  EXPECT_EQ(Ui.OpenedFiles, QStringList({QDir(FTemp.path()).filePath(QStringLiteral("qvr_update.exe"))}));
  EXPECT_TRUE(Downloaded() == Installer());

  ASSERT_GE(BarValues.size(), 3) << "the bar did not advance in steps";
  EXPECT_EQ(BarValues.first(), 0);
  EXPECT_EQ(BarValues.last(), 100);
  for (qsizetype i = 1; i < BarValues.size(); ++i) EXPECT_GT(BarValues[i], BarValues[i - 1]);

  const QList<THttpRequest> requests = Server.Requests();
  ASSERT_EQ(requests.size(), 1);
  EXPECT_EQ(requests[0].Method, "GET");
  EXPECT_EQ(requests[0].Path, kInstallerPath);
  EXPECT_EQ(requests[0].Header("User-Agent"), "Mozilla/4.0 (compatible; MyApp)");
}

TEST_F(NewVersionDialogTest, AChunkedDownloadLeavesTheBarAtZero) {
  THttpAnswer answer;
  answer.Body = Installer();
  answer.Framing = hfChunked;
  answer.PieceSize = 10000;
  answer.PieceDelayMs = 10;
  Server.Answer(kInstallerPath, answer);
  EXPECT_EQ(UpdateNow(), 0);
  EXPECT_TRUE(Ui.Messages.isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
  EXPECT_TRUE(Downloaded() == Installer());
  EXPECT_EQ(Ui.OpenedFiles.size(), 1);
  EXPECT_EQ(BarValues, QList<int>({0}));
}

TEST_F(NewVersionDialogTest, AnEarlierInstallerIsReplaced) {
  QFile earlier(TfrmNewVersion::DownloadPath());
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
  earlier.write(QByteArray(300000, 'o'));
  earlier.close();
  Server.Answer(kInstallerPath, THttpAnswer::Text("new installer"));
  UpdateNow();
  EXPECT_EQ(Downloaded(), "new installer");
}

TEST_F(NewVersionDialogTest, AbortStopsTheDownload) {
  THttpAnswer answer;
  answer.Body = Installer();
  answer.PieceSize = 2000;
  answer.PieceDelayMs = 30;
  Server.Answer(kInstallerPath, answer);
  QString buttonDuringDownload;
  bool updateNowEnabled = true;
  bool barVisible = false;
  const int tag = Show([&](TfrmNewVersion& dialog) {
    QObject::connect(dialog.ProgressBar1, &QProgressBar::valueChanged, &dialog, [&](int value) {
      if (value == 0 || !buttonDuringDownload.isEmpty()) return;
      buttonDuringDownload = dialog.btCancel->text();
      updateNowEnabled = dialog.btUpdateNow->isEnabled();
      barVisible = dialog.ProgressBar1->isVisible();
      // The click arrives like the user's, through the event loop that runs during the download.
      QTimer::singleShot(0, &dialog, [&dialog] { QTest::mouseClick(dialog.btCancel, Qt::LeftButton); });
    });
    QTest::mouseClick(dialog.btUpdateNow, Qt::LeftButton);
  });
  EXPECT_EQ(buttonDuringDownload, QStringLiteral("Abort"));
  EXPECT_FALSE(updateNowEnabled);
  EXPECT_TRUE(barVisible);
  EXPECT_EQ(tag, 0);
  ExpectFailure(QStringLiteral("Download is cancelled. Please download manually."));
  EXPECT_LT(BarValues.last(), 100) << "the download ran to its end";
}

// Closing the dialog during the download (close box or Escape) aborts it like "Abort".
class CloseDuringDownloadTest : public NewVersionDialogTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CloseDuringDownloadTest, AbortsTheDownload) {
  const bool escape = GetParam();
  THttpAnswer answer;
  answer.Body = Installer();
  answer.PieceSize = 2000;
  answer.PieceDelayMs = 30;
  Server.Answer(kInstallerPath, answer);
  bool closed = false;
  const int tag = Show([&](TfrmNewVersion& dialog) {
    QObject::connect(dialog.ProgressBar1, &QProgressBar::valueChanged, &dialog, [&](int value) {
      if (value == 0 || closed) return;
      closed = true;
      QTimer::singleShot(0, &dialog, [&dialog, escape] {
        if (escape) QTest::keyClick(&dialog, Qt::Key_Escape);
        else dialog.close();
      });
    });
    QTest::mouseClick(dialog.btUpdateNow, Qt::LeftButton);
  });
  EXPECT_EQ(tag, 0);
  ExpectFailure(QStringLiteral("Download is cancelled. Please download manually."));
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseDuringDownloadTest, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Escape" : "CloseBox"); });

TEST_F(NewVersionDialogTest, EscapeOnARequiredUpdateEndsTheProgram) {
  Notice(true);
  EXPECT_EQ(Show([](TfrmNewVersion& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), 0);
}

struct TDownloadFailureCase {
  const char* Name;
  THttpAnswer Answer;
  QString Reason;  // empty: the platform's own words, not compared
};

THttpAnswer ShortBody(THttpEnding ending) {
  THttpAnswer answer;
  answer.Body = QByteArray(4000, 'x');
  answer.StallAfter = 1500;
  answer.StallMs = 0;
  answer.Ending = ending;
  return answer;
}

THttpAnswer Announcing(qint64 length, const QByteArray& body) {
  THttpAnswer answer;
  answer.Body = body;
  answer.AnnouncedLength = length;
  answer.Ending = heClose;
  return answer;
}

void PrintTo(const TDownloadFailureCase& c, std::ostream* os) { *os << c.Name; }

class DownloadFailureTest : public NewVersionDialogTest, public ::testing::WithParamInterface<TDownloadFailureCase> {};

TEST_P(DownloadFailureTest, IsReportedDeletedAndNeverStarted) {
  Server.Answer(kInstallerPath, GetParam().Answer);
  Server.Answer("/elsewhere", THttpAnswer::Text("should not be fetched"));
  EXPECT_EQ(UpdateNow(), 0);
  ASSERT_EQ(Ui.Messages.size(), 1);
  if (!GetParam().Reason.isEmpty()) ExpectFailure(GetParam().Reason);
  else {
    EXPECT_TRUE(Ui.Messages[0].Text.startsWith(kFailed)) << Ui.Messages[0].Text.toStdString();
    EXPECT_GT(Ui.Messages[0].Text.size(), kFailed.size());
    EXPECT_EQ(Ui.OpenedUrls, QStringList({kHomePage}));
    EXPECT_TRUE(Ui.OpenedFiles.isEmpty()) << "a failed download was started";
    EXPECT_FALSE(QFile::exists(TfrmNewVersion::DownloadPath())) << "a failed download was left behind";
  }
  // The client may itself send a request again whose connection dropped; it never goes elsewhere.
  for (const THttpRequest& request : Server.Requests()) EXPECT_EQ(request.Path, kInstallerPath);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DownloadFailureTest,
    ::testing::Values(
        TDownloadFailureCase{"RedirectNotFollowed", THttpAnswer::Redirect(302, "/elsewhere"), "HTTP/1.1 302 Found"},
        TDownloadFailureCase{"NotFound", THttpAnswer::Text("missing", 404, "Not Found"), "HTTP/1.1 404 Not Found"},
        TDownloadFailureCase{"StatusWithoutReason",
                             [] {
                               THttpAnswer a = THttpAnswer::Text("no");
                               a.StatusLine = "HTTP/1.1 500";
                               return a;
                             }(),
                             "HTTP/1.1 500"},
        TDownloadFailureCase{"ClosedShortOfItsLength", ShortBody(heClose), ""},
        TDownloadFailureCase{"ResetHalfWay", ShortBody(heReset), ""},
        TDownloadFailureCase{"LengthAnnouncedLongerThanSent", Announcing(5000, QByteArray(100, 'z')), ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(NewVersionDialogTest, NoServerAtAll) {
  qputenv("VARNOQUE_UPDATE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(THttpTestServer::UnusedPort()));
  EXPECT_EQ(UpdateNow(), 0);
  ExpectFailure(QStringLiteral("Connection refused"));
}

TEST_F(NewVersionDialogTest, AnInstallerThatCannotBeStoredIsNotFetched) {
  qputenv("TMPDIR", FTemp.filePath(QStringLiteral("missing/folder")).toLocal8Bit());
  Server.Answer(kInstallerPath, THttpAnswer::Text("installer"));
  EXPECT_EQ(UpdateNow(), 0);
  ASSERT_EQ(Ui.Messages.size(), 1);
  EXPECT_TRUE(Ui.Messages[0].Text.startsWith(kFailed + TfrmNewVersion::DownloadPath() + QStringLiteral(": ")))
      << Ui.Messages[0].Text.toStdString();
  EXPECT_EQ(Ui.OpenedUrls, QStringList({kHomePage}));
  EXPECT_TRUE(Ui.OpenedFiles.isEmpty());
  EXPECT_TRUE(Server.Requests().isEmpty());
}

// The program entry's offer, with the real desktop: the dialog runs its own modal loop and the
// test answers it like a user once it is up.
class UpdateOfferTest : public NewVersionDialogTest {
protected:
  void Pages(const QByteArray& version) {
    Server.Answer("/download/version/varnoque-version.html", THttpAnswer::Text(version));
    Server.Answer("/download/version/varnoque-changes.html", THttpAnswer::Text("- better"));
    UpdateNotice() = TUpdateNotice();
  }

  // Clicks the dialog's second button (or presses Escape) as soon as the dialog is up; records
  // its caption.
  void AnswerWithSecondButton(bool escape = false) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, escape] {
      auto* dialog = qobject_cast<TfrmNewVersion*>(QApplication::activeModalWidget());
      if (!dialog) return;
      SecondButton = dialog->btCancel->text();
      Message = dialog->Label1->text();
      poll->deleteLater();
      if (escape) QTest::keyClick(dialog, Qt::Key_Escape);
      else QTest::mouseClick(dialog->btCancel, Qt::LeftButton);
    });
    poll->start(20);
    FPoll = poll;
  }
  void TearDown() override {
    delete FPoll.data();
    NewVersionDialogTest::TearDown();
  }

  TDesktopUserInterface Desktop;
  QString SecondButton;
  QString Message;
  QPointer<QTimer> FPoll;
};

TEST_F(UpdateOfferTest, ARequiredUpdateClosedWithExitEndsTheProgram) {
  Pages("21/21");
  AnswerWithSecondButton();
  EXPECT_FALSE(OfferUpdate(Desktop));
  EXPECT_EQ(SecondButton, QStringLiteral("Exit"));
  EXPECT_TRUE(Message.startsWith(QLatin1String("This version of the software is out of date.")));
}

TEST_F(UpdateOfferTest, EscapeOnARequiredUpdateEndsTheProgram) {
  Pages("21/21");
  AnswerWithSecondButton(true);
  EXPECT_FALSE(OfferUpdate(Desktop));
}

TEST_F(UpdateOfferTest, AnOptionalUpdateSkippedGoesOn) {
  Pages("21/20");
  AnswerWithSecondButton();
  EXPECT_TRUE(OfferUpdate(Desktop));
  EXPECT_EQ(SecondButton, QStringLiteral("Skip"));
}

TEST_F(UpdateOfferTest, NoNoticeShowsNoDialog) {
  Pages("20/20");
  AnswerWithSecondButton();
  EXPECT_TRUE(OfferUpdate(Desktop));
  EXPECT_TRUE(SecondButton.isEmpty());
  EXPECT_EQ(Server.Requests().size(), 2);
}

}  // namespace
