#include "folders/folderlisting.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class FolderTreesTest : public ::testing::Test {
protected:
  QString Left() const { return FDir.filePath(QStringLiteral("left")); }
  QString Right() const { return FDir.filePath(QStringLiteral("right")); }

  void SetUp() override {
    QDir(FDir.path()).mkpath(QStringLiteral("left"));
    QDir(FDir.path()).mkpath(QStringLiteral("right"));
  }

  static void Write(const QString& root, const QString& relative, const QByteArray& content,
                    const QDateTime& time = QDateTime()) {
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.flush();
    if (time.isValid()) file.setFileTime(time, QFileDevice::FileModificationTime);
  }

  // Row i as "left|right|kind".
  static std::vector<std::string> Rows(const TFolderComparison& result) {
    std::vector<std::string> rows;
    for (qsizetype i = 0; i < result.Items.size(); ++i)
      rows.push_back((result.LeftTexts[i] + QLatin1Char('|') + result.RightTexts[i] + QLatin1Char('|') +
                      QString::number(result.Items[i].Kind))
                         .toStdString());
    return rows;
  }

  QTemporaryDir FDir;
};

TEST_F(FolderTreesTest, PairsFilesByPathAndComparesTheirSizesOnly) {
  const QDateTime time = QDateTime::currentDateTime().addDays(-1);
  Write(Left(), "same.txt", "abc", time);
  Write(Right(), "same.txt", "xyz", time);  // equal size, other content: equal
  Write(Left(), "sub/only-left.txt", "1");
  Write(Right(), "sub/only-right.txt", "2");
  Write(Left(), "sized.txt", "12", time);
  Write(Right(), "sized.txt", "123", time);  // equal times: no mark
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(Rows(result), (std::vector<std::string>{"same.txt|same.txt|0", "sized.txt|sized.txt|3",
                                                    "sub/only-left.txt||1", "|sub/only-right.txt|2"}));
  EXPECT_EQ(result.LeftFileCount, 3);
  EXPECT_EQ(result.RightFileCount, 3);
  for (const TDiffItem& item : result.Items) EXPECT_EQ(item.LeftChangeStart, -1);
}

TEST_F(FolderTreesTest, MarksTheLaterFileOfADifferingPair) {
  const QDateTime old = QDateTime::currentDateTime().addDays(-2);
  const QDateTime recent = QDateTime::currentDateTime().addDays(-1);
  Write(Left(), "a.txt", "1", old);
  Write(Right(), "a.txt", "22", recent);
  Write(Left(), "b.txt", "333", recent);
  Write(Right(), "b.txt", "4", old);
  Write(Left(), "c.txt", "5", old);
  Write(Right(), "c.txt", "6", recent);  // equal sizes: no mark whatever the times
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(Rows(result), (std::vector<std::string>{"a.txt|a.txt new|3", "b.txt new|b.txt|3", "c.txt|c.txt|0"}));
  EXPECT_EQ(result.Paths, QStringList({"a.txt", "b.txt", "c.txt"}));
}

TEST_F(FolderTreesTest, NamesDifferingOnlyInCaseAreOneEntryInTheLeftSpelling) {
  Write(Left(), "a.txt", "same");
  Write(Right(), "A.TXT", "same");
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(Rows(result), (std::vector<std::string>{"a.txt|a.txt|0"}));
}

TEST_F(FolderTreesTest, AFileAgainstAFolderOfTheSameName) {
  Write(Left(), "thing", "file");
  Write(Right(), "thing/inner.txt", "x");
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(Rows(result), (std::vector<std::string>{"thing||1", "|thing/inner.txt|2"}));
}

TEST_F(FolderTreesTest, HiddenFilesCountAndEmptyFoldersDoNot) {
  Write(Left(), ".hidden", "h");
  QDir(Left()).mkpath(QStringLiteral("empty/deeper"));
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(Rows(result), (std::vector<std::string>{".hidden||1"}));
}

TEST_F(FolderTreesTest, CountsFilesPerSideNotRows) {
  Write(Left(), "a", "1");
  Write(Left(), "b", "1");
  Write(Right(), "b", "1");
  Write(Right(), "c", "1");
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(result.Items.size(), 3);
  EXPECT_EQ(result.LeftFileCount, 2);
  EXPECT_EQ(result.RightFileCount, 2);
}

TEST_F(FolderTreesTest, TwoEmptyFoldersGiveNoRows) {
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_TRUE(result.Items.isEmpty());
}

TEST_F(FolderTreesTest, ALinkBackIntoTheTreeIsListedOnce) {
  Write(Left(), "sub/file.txt", "x");
  ASSERT_TRUE(QFile::link(Left(), Left() + QStringLiteral("/sub/loop")));
  ASSERT_TRUE(QFile::link(Left() + QStringLiteral("/sub"), Left() + QStringLiteral("/sub-link")));
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  // The link to a sibling folder is followed; the link back to the root is not.
  EXPECT_EQ(result.Paths, QStringList({"sub-link/file.txt", "sub/file.txt"}));
}

TEST_F(FolderTreesTest, ADanglingLinkIsAFileWithoutSize) {
  ASSERT_TRUE(QFile::link(FDir.filePath(QStringLiteral("nowhere")), Left() + QStringLiteral("/dangling")));
  ASSERT_TRUE(QFile::link(FDir.filePath(QStringLiteral("nowhere")), Right() + QStringLiteral("/dangling")));
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  EXPECT_EQ(Rows(result), (std::vector<std::string>{"dangling|dangling|3"}));
}

TEST_F(FolderTreesTest, AnUnreadableFolderContributesNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  Write(Left(), "locked/secret.txt", "x");
  Write(Left(), "open.txt", "x");
  QFile::setPermissions(Left() + QStringLiteral("/locked"), QFileDevice::Permissions());
  const TFolderComparison result = CompareFolderTrees(Left(), Right());
  QFile::setPermissions(Left() + QStringLiteral("/locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                QFileDevice::ExeOwner);
  EXPECT_EQ(result.Paths, QStringList({"open.txt"}));
}

TEST(FileSizeOfTest, IsMinusOneForMissingFilesAndFolders) {
  QTemporaryDir dir;
  EXPECT_EQ(FileSizeOf(dir.filePath(QStringLiteral("missing"))), -1);
  EXPECT_EQ(FileSizeOf(dir.path()), -1);
}

}  // namespace
