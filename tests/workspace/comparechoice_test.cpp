#include "workspace/comparechoice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(DocumentExtensionTest, LooksAtTheLastExtensionOnlyIgnoringAsciiCase) {
  const std::pair<const char*, bool> cases[] = {
      {"report.pdf", true},  {"REPORT.PDF", true},   {"archive.tar.gz", true}, {"notes.txt", false},
      {"Makefile", false},   {"dir.pdf/readme", false}, {"photo.JPEG", true}, {"font.woff2", true},
      {".pdf", true},        {"a.pdf.txt", false},   {"data.sqlite", true},    {"x.", false}};
  for (const auto& [path, expected] : cases) EXPECT_EQ(IsDocumentExtension(QString::fromLatin1(path)), expected) << path;
}

TEST(TrimPathTest, RemovesControlCharactersAndBlanksAtBothEnds) {
  EXPECT_EQ(TrimPath(QStringLiteral("  \t/tmp/a b \r\n")), QStringLiteral("/tmp/a b"));
  EXPECT_EQ(TrimPath(QStringLiteral("   ")), QString());
  EXPECT_EQ(TrimPath(QStringLiteral("\u00A0x\u00A0")), QStringLiteral("\u00A0x\u00A0"));
}

TEST(PathHistoryTest, TheCompareButtonMovesAnEqualEntryToTheTopInTheNewSpelling) {
  QStringList history{"/a", "/B", "/c"};
  UpdatePathHistory(history, QStringLiteral("/b"), huMoveToTop);
  EXPECT_EQ(history, QStringList({"/b", "/a", "/c"}));
}

TEST(PathHistoryTest, TheMenuEntriesKeepAnExistingEntryInItsPlace) {
  QStringList history{"/a", "/B", "/c"};
  UpdatePathHistory(history, QStringLiteral("/b"), huInsertIfAbsent);
  EXPECT_EQ(history, QStringList({"/a", "/B", "/c"}));
  UpdatePathHistory(history, QStringLiteral("/d"), huInsertIfAbsent);
  EXPECT_EQ(history.first(), QStringLiteral("/d"));
}

TEST(PathHistoryTest, TheFiftyFirstPathPushesTheOldestOut) {
  for (THistoryUpdate mode : {huMoveToTop, huInsertIfAbsent}) {
    QStringList history;
    for (int i = 0; i < MaxPathHistory; ++i) history.append(QStringLiteral("/old%1").arg(i));
    UpdatePathHistory(history, QStringLiteral("/new"), mode);
    ASSERT_EQ(history.size(), MaxPathHistory);
    EXPECT_EQ(history.first(), QStringLiteral("/new"));
    EXPECT_EQ(history.last(), QStringLiteral("/old48"));
  }
}

class AutomaticChoiceTest : public ::testing::Test {
protected:
  QString File(const char* name, const QByteArray& content) {
    const QString path = FDir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }
  QString Folder(const char* name) {
    QDir(FDir.path()).mkpath(QString::fromLatin1(name));
    return FDir.filePath(QString::fromLatin1(name));
  }
  QTemporaryDir FDir;
};

TEST_F(AutomaticChoiceTest, FoldersGoToTheFolderComparison) {
  EXPECT_EQ(ChooseByFolders(Folder("l"), Folder("r")), acFolders);
  EXPECT_EQ(ChooseByFolders(Folder("l"), File("r.txt", "x")), acFolderMismatch);
  EXPECT_EQ(ChooseByFolders(File("l.txt", "x"), File("r.txt", "x")), acText);
}

TEST_F(AutomaticChoiceTest, ListedExtensionsOnBothSidesGoToTheDocumentsWhateverTheContent) {
  EXPECT_EQ(ChooseByContent(File("a.bin", "plain text"), File("b.bin", "plain text")), acDocuments);
  // With one listed extension the content decides.
  EXPECT_EQ(ChooseByContent(File("a.bin", "plain text"), File("b.txt", "plain text")), acText);
  EXPECT_EQ(ChooseByContent(File("c.txt", QByteArray("bin\0ary", 7)), File("d.txt", "text")), acDocuments);
}

TEST_F(AutomaticChoiceTest, AMissingFileIsNotTextAndGoesToTheDocuments) {
  EXPECT_EQ(ChooseByContent(FDir.filePath(QStringLiteral("missing.txt")), File("b.txt", "x")), acDocuments);
}

}  // namespace
