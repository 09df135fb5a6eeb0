// Saving where it cannot succeed: a full disk and a read-only folder. The previous file stays
// byte for byte, the error box names the file, the edit stays unsaved, and nothing is left behind.

#include "faults/faultsupport.h"
#include "support/windowfixture.h"

#include <QDirIterator>

#include <sstream>
#include <tuple>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using faults::TScratchMount;

const QByteArray kPrevious = QByteArray("the previous file, kept as it was\r\n").repeated(40);

// A left side far larger than the 64 kB the full disk allows, or one that fits in the write
// buffer and reaches the disk only when the file is completed.
QByteArray Side(bool large) {
  QByteArray text = "first line on the left\n";
  for (int i = 0; i < (large ? 6000 : 2); ++i) text += "line " + QByteArray::number(i) + " of the side\n";
  return text;
}

// The size limit on files written while it holds: below even the small side.
constexpr rlim_t kFileSizeLimit = 16;

enum TWhereItFails { wfFullTmpfs, wfFileSizeLimit, wfReadOnlyBind, wfReadOnlyTmpfs };

void PrintTo(TWhereItFails where, std::ostream* os) {
  const char* names[] = {"FullTmpfs", "FileSizeLimit", "ReadOnlyBind", "ReadOnlyTmpfs"};
  *os << names[where];
}

// Fills the rest of a small file system, so the next write finds no room.
void FillUp(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder + QStringLiteral("/filler")).constData(), O_CREAT | O_WRONLY, 0644);
  const QByteArray block(4096, 'f');
  while (::write(fd, block.constData(), block.size()) > 0) {}
  ::close(fd);
}

// Files below the folder, by name: a failed save leaves no temporary file behind.
QStringList FilesIn(const QString& folder) {
  QStringList names;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) names.append(QFileInfo(it.next()).fileName());
  names.sort();
  return names;
}

using TSaveCase = std::tuple<TWhereItFails, bool>;

class SavingFaultTest : public WindowTest, public ::testing::WithParamInterface<TSaveCase> {
protected:
  void TearDown() override {
    RestoreFileSizeLimit();
    WindowTest::TearDown();
    FMount.reset();
  }

  // The folder holding the previous file "saved.txt", where the next save must fail; empty
  // after a skip.
  QString PrepareFailingFolder(TWhereItFails where) {
    const QString folder = Path(QStringLiteral("target"));
    QDir().mkpath(folder);
    switch (where) {
      case wfFullTmpfs:
        FMount = TScratchMount::Tmpfs(folder, 64);
        if (!FMount->Mounted()) return Skip(FMount->Error());
        Write(QStringLiteral("target/saved.txt"), kPrevious);
        return folder;
      case wfFileSizeLimit:
        Write(QStringLiteral("target/saved.txt"), kPrevious);
        return LimitFileSize() ? folder : Skip(QStringLiteral("setrlimit(RLIMIT_FSIZE) failed"));
      case wfReadOnlyBind: {
        Write(QStringLiteral("source/saved.txt"), kPrevious);
        FMount = TScratchMount::ReadOnlyBind(Path(QStringLiteral("source")), folder);
        return FMount->Mounted() ? folder : Skip(FMount->Error());
      }
      case wfReadOnlyTmpfs:
        FMount = TScratchMount::Tmpfs(folder, 256);
        if (!FMount->Mounted()) return Skip(FMount->Error());
        Write(QStringLiteral("target/saved.txt"), kPrevious);
        return FMount->RemountReadOnly() ? folder : Skip(FMount->Error());
    }
    return {};
  }

  QString Skip(const QString& why) {
    FSkipReason = why;
    return {};
  }

  // Writes past the limit fail with EFBIG instead of ending the process with SIGXFSZ.
  bool LimitFileSize() {
    if (::getrlimit(RLIMIT_FSIZE, &FSavedLimit) != 0) return false;
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{kFileSizeLimit, FSavedLimit.rlim_max};
    FLimited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    return FLimited;
  }
  void RestoreFileSizeLimit() {
    if (FLimited) ::setrlimit(RLIMIT_FSIZE, &FSavedLimit);
    FLimited = false;
  }

  // A comparison whose left side was then changed by a merge: an edit waiting to be saved.
  void CompareAndChangeTheLeftSide(bool large) {
    QByteArray right = Side(large);
    right.replace("first line on the left", "first line on the right");
    CompareTexts(Side(large), right);
    Grid().SetRow(1);
    Window->RunCommand([this] { Window->btnRightToLeftClick(); });
    WaitForRows();
    ASSERT_TRUE(Window->UnsavedChanges());
    ASSERT_EQ(Window->LeftLines().value(0), QStringLiteral("first line on the right"));
  }

  void SaveLeftAs(const QString& target) {
    Ui.Clear();
    Ui.SaveAnswers.enqueue(target);
    Window->RunCommand([this] { Window->btnSaveLeftClick(); });
  }

  void ExpectErrorNaming(const QString& target) {
    ASSERT_EQ(Ui.Messages.size(), 1) << Ui.MessageTexts().join(" | ").toStdString();
    EXPECT_EQ(Ui.Messages[0].Kind, mkError);
    EXPECT_TRUE(Ui.Messages[0].Text.contains(QDir::toNativeSeparators(target))) << Ui.Messages[0].Text.toStdString();
    EXPECT_TRUE(Window->UnsavedChanges()) << "the edit was not saved";
    EXPECT_EQ(Window->LeftLines().value(0), QStringLiteral("first line on the right")) << "the edit is kept";
    EXPECT_FALSE(Window->StatusText().contains(QStringLiteral("saved as")));
  }

  std::unique_ptr<TScratchMount> FMount;
  QString FSkipReason;
  rlimit FSavedLimit{};
  bool FLimited = false;
};

TEST_P(SavingFaultTest, KeepsThePreviousFileAndTheUnsavedEdit) {
  const auto [where, large] = GetParam();
  CompareAndChangeTheLeftSide(large);
  const QString folder = PrepareFailingFolder(where);
  if (folder.isEmpty()) GTEST_SKIP() << FSkipReason.toStdString();
  if (where == wfFullTmpfs) FillUp(folder);
  const QStringList before = FilesIn(folder);

  const QString existing = folder + QStringLiteral("/saved.txt");
  SaveLeftAs(existing);
  RestoreFileSizeLimit();
  ExpectErrorNaming(existing);
  EXPECT_EQ(Read(existing), kPrevious) << "the previous file is intact";
  EXPECT_EQ(FilesIn(folder), before) << "no temporary file is left";

  // A new name fails the same way and creates nothing.
  if (where == wfFileSizeLimit) LimitFileSize();
  const QString fresh = folder + QStringLiteral("/fresh.txt");
  SaveLeftAs(fresh);
  RestoreFileSizeLimit();
  ExpectErrorNaming(fresh);
  EXPECT_FALSE(QFile::exists(fresh));
  EXPECT_EQ(FilesIn(folder), before);
}

INSTANTIATE_TEST_SUITE_P(Places, SavingFaultTest,
                         ::testing::Combine(::testing::Values(wfFullTmpfs, wfFileSizeLimit, wfReadOnlyBind,
                                                              wfReadOnlyTmpfs),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           std::ostringstream name;
                           PrintTo(std::get<0>(info.param), &name);
                           name << (std::get<1>(info.param) ? "LargeSide" : "SmallSide");
                           return name.str();
                         });

// The settings file on a disk that has filled up: the saves after each comparison and at the
// end fail without a word, and the last good settings file stays as it was.
class SettingsOnAFullDiskTest : public WindowTest {
protected:
  void TearDown() override {
    WindowTest::TearDown();
    FMount.reset();
  }
  std::unique_ptr<TScratchMount> FMount;
};

TEST_F(SettingsOnAFullDiskTest, KeepsTheLastGoodFileAndSaysNothing) {
  const QString appData = Path(QStringLiteral("small-appdata"));
  QDir().mkpath(appData);
  FMount = TScratchMount::Tmpfs(appData, 64);
  if (!FMount->Mounted()) GTEST_SKIP() << FMount->Error().toStdString();
  qputenv("APPDATA", appData.toLocal8Bit());
  MakeWindow();
  CompareTexts("a\n", "b\n");
  const QString settings = TfrmMainTestAccess::SettingsFilePath(*Window);
  ASSERT_TRUE(settings.startsWith(appData));
  const QByteArray good = Read(settings);
  ASSERT_FALSE(good.isEmpty());

  FillUp(appData);
  Ui.Clear();
  // A new path for the history: the settings written after this comparison would differ.
  Compare(Write(QStringLiteral("other-left.txt"), "a\n"), Write(QStringLiteral("other-right.txt"), "a\n"));
  for (const TRecordedMessage& message : Ui.Messages) EXPECT_EQ(message.Kind, mkInformation) << message.Text.toStdString();
  EXPECT_EQ(Read(settings), good);
  Window.reset();  // the save at the end fails too
  EXPECT_EQ(Read(settings), good);
  EXPECT_EQ(FilesIn(QFileInfo(settings).absolutePath()), QStringList({"settings.dt"}));
}

}  // namespace
