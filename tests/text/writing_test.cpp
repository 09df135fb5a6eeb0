#include "text/textfile.h"

#include "common/varnoqueerror.h"
#include "text/tempfolder.h"

#include <QDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Makes every write past the given file size fail for this process, as a full disk would; works
// for root too, unlike permission bits.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes) {
    FPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &FPrevious);
    rlimit limit = FPrevious;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FPrevious);
    std::signal(SIGXFSZ, FPreviousHandler);
  }

private:
  rlimit FPrevious{};
  void (*FPreviousHandler)(int);
};

QStringList ManyLines(int count) {
  QStringList lines;
  for (int i = 0; i < count; ++i)
    lines.append(QStringLiteral(u"Zeile %1: café 😀 — straße").arg(i));
  return lines;
}

class WriteTextFileTest : public ::testing::Test {
protected:
  void ExpectWriteFailsNaming(const QString& path, const QStringList& lines) {
    try {
      WriteTextFile(path, lines, TEncoding::UTF8());
      ADD_FAILURE() << "no error raised for " << path.toStdString();
    } catch (const EVarnoqueError& error) {
      EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Cannot write the file \"%1\": ").arg(path)))
          << error.what();
    }
  }
  QStringList FolderEntries() const {
    return QDir(FFolder.Path(QString())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }
  TTempFolder FFolder;
};

TEST_F(WriteTextFileTest, FailedWriteKeepsThePreviousFile) {
  const QString path = FFolder.Write(QStringLiteral("side.txt"), "previous\r\n");
  {
    const TFileSizeLimit limit(4096);
    ExpectWriteFailsNaming(path, ManyLines(10000));
  }
  EXPECT_EQ(TTempFolder::Read(path), QByteArray("previous\r\n"));
  EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("side.txt")}) << "temporary file left behind";
}

TEST_F(WriteTextFileTest, TargetInsideAFileFails) {
  const QString file = FFolder.Write(QStringLiteral("plain"), "x");
  ExpectWriteFailsNaming(file + QStringLiteral("/side.txt"), {QStringLiteral("a")});
  EXPECT_EQ(TTempFolder::Read(file), QByteArray("x"));
}

TEST_F(WriteTextFileTest, ReadOnlyFolderFailsAndKeepsThePreviousFile) {
  if (!PermissionsApply()) GTEST_SKIP() << "permission bits do not stop root";
  const QString path = FFolder.Write(QStringLiteral("side.txt"), "previous");
  const QString folder = FFolder.Path(QString());
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  ExpectWriteFailsNaming(path, {QStringLiteral("new")});
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(TTempFolder::Read(path), QByteArray("previous"));
}

TEST_F(WriteTextFileTest, ReplacingKeepsTheFilesPermissions) {
  const QString path = FFolder.Write(QStringLiteral("side.txt"), "previous");
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
  WriteTextFile(path, {QStringLiteral("new")}, TEncoding::ANSI());
  struct stat info {};
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(TTempFolder::Read(path), QByteArray("new\r\n"));
}

TEST_F(WriteTextFileTest, NewFileGetsTheUsualPermissions) {
  const mode_t previous = umask(022);
  const QString path = FFolder.Path(QStringLiteral("new.txt"));
  WriteTextFile(path, {}, TEncoding::ANSI());
  umask(previous);
  struct stat info {};
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  EXPECT_EQ(TTempFolder::Read(path), QByteArray());
}

// Large sides are written in pieces; every piece must join up with the next.
class LargeSideTest : public WriteTextFileTest, public ::testing::WithParamInterface<const TEncoding*> {};

TEST_P(LargeSideTest, ReadsBackLineForLine) {
  const QStringList lines = ManyLines(120000);
  const QString path = FFolder.Path(QStringLiteral("large.txt"));
  WriteTextFile(path, lines, *GetParam());
  QStringList loaded;
  const TDetectedEncoding detected = LoadTextFile(path, loaded);
  EXPECT_EQ(detected.Encoding, GetParam());
  ASSERT_EQ(loaded.size(), lines.size());
  EXPECT_EQ(loaded, lines);
}

INSTANTIATE_TEST_SUITE_P(Encodings, LargeSideTest,
                         ::testing::Values(&TEncoding::UTF8(), &TEncoding::Unicode(),
                                           &TEncoding::BigEndianUnicode()));

}  // namespace
