// Files that change under the comparison: deleted, replaced or made unreadable after the path
// checks passed and before they are loaded, and changed while they are being read. Each ends in a
// clear message or a result that matches what was read, never in rows that point at missing lines.

#include "extract/unreadablefile.h"
#include "faults/faultsupport.h"
#include "faults/rowchecks.h"
#include "support/windowfixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

namespace {

using faults::TFileGate;

QByteArray Lines(const char* prefix, int count) {
  QByteArray text;
  for (int i = 0; i < count; ++i) text += prefix + QByteArray::number(i) + '\n';
  return text;
}

class LoadingFaultTest : public WindowTest {
protected:
  // A comparison on screen before the faulty one: its rows must not outlive its lines.
  void ShowAnEarlierComparison() {
    CompareTexts(Lines("earlier ", 300), Lines("earlier ", 280) + Lines("other ", 30));
    ASSERT_GT(Window->DiffItems().size(), 300);
    Ui.Clear();
  }

  void CompareAsText(const QString& left, const QString& right) {
    Window->SetPaths(left, right);
    Window->RunCommand([this] { Window->miAsTextFiles1Click(); });
  }

  QList<TRecordedMessage> Errors() const {
    QList<TRecordedMessage> errors;
    for (const TRecordedMessage& message : Ui.Messages)
      if (message.Kind == mkError) errors.append(message);
    return errors;
  }
};

// What happens to the left file once both files passed the content check of the Compare button.
struct TVanishCase {
  const char* Name;
  std::function<void(const QString& left)> Fault;
  // The error box: its exact text, or (when Exact is empty) texts it must contain besides the path.
  QString Exact;
  QStringList Contains;
  bool HonourPermissions = false;
};

void PrintTo(const TVanishCase& c, std::ostream* os) { *os << c.Name; }

class VanishingFileTest : public LoadingFaultTest, public ::testing::WithParamInterface<TVanishCase> {};

TEST_P(VanishingFileTest, EndsInAClearMessageAndNoStaleRows) {
  const TVanishCase& c = GetParam();
  ShowAnEarlierComparison();
  const QString left = Write(QStringLiteral("vanishing.txt"), Lines("left ", 50));
  const QString right = Write(QStringLiteral("staying.txt"), Lines("right ", 40));
  // The right file's content check opens it after the left one's: the fault strikes in between
  // the checks and the loading.
  TFileGate gate(right, TFileGate::geOpen, [&] { c.Fault(left); });
  if (!gate.Armed()) GTEST_SKIP() << gate.Error().toStdString();
  std::optional<unreadable::TPermissionsHonoured> honoured;
  if (c.HonourPermissions) honoured.emplace();
  Compare(left, right);
  honoured.reset();
  ASSERT_TRUE(gate.Fired());

  const QList<TRecordedMessage> errors = Errors();
  ASSERT_EQ(errors.size(), 1) << Ui.MessageTexts().join(" | ").toStdString();
  if (!c.Exact.isEmpty()) {
    EXPECT_EQ(errors[0].Text, c.Exact);
  } else {
    EXPECT_TRUE(errors[0].Text.contains(QDir::toNativeSeparators(left))) << errors[0].Text.toStdString();
    for (const QString& part : c.Contains) EXPECT_TRUE(errors[0].Text.contains(part)) << errors[0].Text.toStdString();
  }
  ExpectRowsConsistent(*Window, false);
  EXPECT_EQ(Ui.LastPointer(), crDefault);
  QFile::setPermissions(left, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void Replace(const QString& path, const std::function<void()>& make) {
  QFile::remove(path);
  make();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VanishingFileTest,
    ::testing::Values(
        TVanishCase{"Deleted", [](const QString& left) { QFile::remove(left); }, "Left file does not exist.", {}},
        TVanishCase{"ReplacedByAFolder",
                    [](const QString& left) { Replace(left, [&] { QDir().mkdir(left); }); },
                    "Left file does not exist.", {}},
        // Opening a pipe would wait for a writer without end; it is not taken for a file.
        TVanishCase{"ReplacedByAPipe",
                    [](const QString& left) { Replace(left, [&] { ::mkfifo(QFile::encodeName(left).constData(), 0644); }); },
                    "Left file does not exist.", {}},
        TVanishCase{"MadeUnreadable", [](const QString& left) { unreadable::MakeUnreadable(left); }, {},
                    {"Cannot open the file", "Permission denied"}, true},
        TVanishCase{"ReplacedByAFileThatFailsToRead",
                    [](const QString& left) {
                      Replace(left, [&] { QFile::link(QStringLiteral("/proc/self/mem"), left); });
                    },
                    {}, {"Cannot read the file", "Input/output error"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LoadingFaultTest, AFileEmptiedAfterTheChecksIsComparedAsEmpty) {
  ShowAnEarlierComparison();
  const QString left = Write(QStringLiteral("emptied.txt"), Lines("left ", 50));
  const QString right = Write(QStringLiteral("staying.txt"), Lines("right ", 40));
  TFileGate gate(right, TFileGate::geOpen, [&] { ::truncate(QFile::encodeName(left).constData(), 0); });
  if (!gate.Armed()) GTEST_SKIP() << gate.Error().toStdString();
  Compare(left, right);
  ASSERT_TRUE(gate.Fired());
  EXPECT_TRUE(Errors().isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
  EXPECT_TRUE(Window->LeftLines().isEmpty());
  EXPECT_EQ(Window->RightLines().size(), 40);
  ExpectRowsConsistent(*Window, true);
}

// A file changed while it is read gives the lines that were read, and rows for exactly those.
struct TChangeCase {
  const char* Name;
  std::function<void(const QString& left)> Change;
};

void PrintTo(const TChangeCase& c, std::ostream* os) { *os << c.Name; }

class ChangedWhileReadTest : public LoadingFaultTest, public ::testing::WithParamInterface<TChangeCase> {};

TEST_P(ChangedWhileReadTest, GivesTheLinesThatWereRead) {
  ShowAnEarlierComparison();
  const QString left = Write(QStringLiteral("changing.txt"), Lines("left ", 2000));
  const QString right = Write(QStringLiteral("staying.txt"), Lines("left ", 1990));
  TFileGate gate(left, TFileGate::geRead, [&] { GetParam().Change(left); });
  if (!gate.Armed()) GTEST_SKIP() << gate.Error().toStdString();
  CompareAsText(left, right);
  ASSERT_TRUE(gate.Fired());
  EXPECT_TRUE(Errors().isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
  ExpectRowsConsistent(*Window, true);
  EXPECT_FALSE(Window->UnsavedChanges());
}

void AppendTo(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::Append)) file.write(bytes);
}

void OverwriteStart(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::ReadWrite)) file.write(bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedWhileReadTest,
    ::testing::Values(
        TChangeCase{"Grows", [](const QString& left) { AppendTo(left, Lines("grown ", 50000)); }},
        TChangeCase{"Shrinks", [](const QString& left) { ::truncate(QFile::encodeName(left).constData(), 37); }},
        TChangeCase{"RewrittenInPlace",
                    [](const QString& left) { OverwriteStart(left, QByteArray(5000, 'x') + "\r\n\xC3\xA9\xFF\n"); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// A file whose size says nothing of its content (as /proc files): it is read to its end.
TEST_F(LoadingFaultTest, AFileWithoutASizeIsReadToItsEnd) {
  const QString right = Write(QStringLiteral("right.txt"), "Name:\tnothing\n");
  CompareAsText(QStringLiteral("/proc/self/status"), right);
  EXPECT_TRUE(Errors().isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
  EXPECT_GT(Window->LeftLines().size(), 10);
  EXPECT_TRUE(Window->LeftLines().value(0).startsWith(QStringLiteral("Name:")));
  ExpectRowsConsistent(*Window, true);
}

// The Compare button reads a little of both files to choose the comparison: a pipe that nobody
// writes must not hold the window.
TEST_F(LoadingFaultTest, APipeInThePathBoxIsRefusedWithoutWaiting) {
  const QString pipe = Path(QStringLiteral("pipe"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
  const QString right = Write(QStringLiteral("right.txt"), "text\n");
  const faults::TPipeReleaser releaser(pipe, 5000);
  QElapsedTimer clock;
  clock.start();
  Compare(pipe, right);
  EXPECT_LT(clock.elapsed(), 4000) << "the window waited for a writer of the pipe";
  EXPECT_EQ(Ui.MessageTexts(), QStringList({"Left file does not exist."}));
  ExpectRowsConsistent(*Window, false);
}

}  // namespace
