// Folder trees that trouble a listing, compared through the window: a link cycle, dangling
// links, names that are not UTF-8 and a tree of a few thousand files. Each comparison ends with
// every file listed once and the grid showing the rows.

#include "faults/faultsupport.h"
#include "support/windowfixture.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

class FolderFaultTest : public WindowTest {
protected:
  void SetUp() override {
    WindowTest::SetUp();
    QDir().mkpath(Left());
    QDir().mkpath(Right());
  }
  void TearDown() override {
    WindowTest::TearDown();
    faults::RemoveTree(Left());
    faults::RemoveTree(Right());
  }
  QString Left() const { return Path(QStringLiteral("left")); }
  QString Right() const { return Path(QStringLiteral("right")); }

  // A file whose name is given as the file system's own bytes.
  static void WriteRaw(const QString& folder, const QByteArray& name, const QByteArray& content) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.toStdString();
    ASSERT_EQ(::write(fd, content.constData(), content.size()), content.size());
    ::close(fd);
  }

  // Each row as "left|right|kind".
  QStringList Rows() {
    QStringList rows;
    for (int i = 0; i < Window->DiffItems().size(); ++i)
      rows.append(Grid().Cells(1, i + 1) + QLatin1Char('|') + Grid().Cells(2, i + 1) + QLatin1Char('|') +
                  QString::number(Window->DiffItems()[i].Kind));
    return rows;
  }

  void CompareFolders() {
    Compare(Left(), Right());
    ASSERT_TRUE(Window->FolderMode());
    ASSERT_EQ(Grid().RowCount(), std::max<int>(Window->DiffItems().size(), 1) + 1);
    Grid().viewport()->repaint();
  }
};

TEST_F(FolderFaultTest, ALinkCycleIsListedOnceAndADanglingLinkIsAFileWithoutSize) {
  Write(QStringLiteral("left/deep/er/file.txt"), "x");
  Write(QStringLiteral("right/deep/er/file.txt"), "x");
  for (const QString& root : {Left(), Right()}) {
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/deep/er/back-to-the-root")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/deep"), root + QStringLiteral("/deep/er/back-up")));
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("nowhere")), root + QStringLiteral("/dangling")));
  }
  CompareFolders();
  EXPECT_EQ(Rows(), QStringList({"dangling|dangling|3", "deep/er/file.txt|deep/er/file.txt|0"}));
  EXPECT_EQ(Window->StatusText(),
            QStringLiteral("Compared 2 files (left folder, including subfolders) vs 2 files (right folder, including "
                           "subfolders)."));
}

// Bytes that are no UTF-8 give each name its own text: the same name pairs up, two names that
// differ only in such a byte stay apart, and none is dropped.
TEST_F(FolderFaultTest, NamesThatAreNotUtf8AreListedAndPairedByTheirBytes) {
  WriteRaw(Left(), "caf\xE9.txt", "abc");          // Latin-1, not UTF-8
  WriteRaw(Left(), "caf\xEA.txt", "abcd");
  WriteRaw(Left(), "over\xC0\xAFlong.txt", "x");   // an overlong "/"
  WriteRaw(Right(), "caf\xE9.txt", "xyz");
  WriteRaw(Right(), "caf\xC3\xA9.txt", "abc");     // the same name in UTF-8: another file
  CompareFolders();
  const QString replacement = QString(QChar::ReplacementCharacter);
  const QString cafe = QStringLiteral("caf") + replacement + QStringLiteral(".txt");
  const QStringList rows = Rows();
  EXPECT_EQ(rows.size(), 4) << rows.join(QStringLiteral(" ; ")).toStdString();
  EXPECT_EQ(rows.count(cafe + QLatin1Char('|') + cafe + QStringLiteral("|0")), 1) << "the same bytes pair up";
  EXPECT_EQ(rows.count(cafe + QStringLiteral("||1")), 1) << "the other byte stays apart";
  EXPECT_TRUE(rows.contains(QString::fromUtf8("|caf\xC3\xA9.txt|2")));
  EXPECT_TRUE(rows.contains(QStringLiteral("over") + replacement + replacement + QStringLiteral("long.txt||1")));
  EXPECT_EQ(Window->StatusText(),
            QStringLiteral("Compared 3 files (left folder, including subfolders) vs 2 files (right folder, including "
                           "subfolders)."));
}

// A few thousand files in nested folders with a link cycle inside: every file is one row.
TEST_F(FolderFaultTest, ATreeOfThousandsOfFilesIsListedWhole) {
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) {
    const QString relative = QStringLiteral("/d%1/s%2/f%3.txt").arg(i % 10).arg(i / 10 % 10).arg(i);
    QDir().mkpath(QFileInfo(Left() + relative).absolutePath());
    QDir().mkpath(QFileInfo(Right() + relative).absolutePath());
    QFile l(Left() + relative), r(Right() + relative);
    ASSERT_TRUE(l.open(QIODevice::WriteOnly) && r.open(QIODevice::WriteOnly));
    l.write("x");
    r.write(i % 100 == 0 ? "xy" : "x");
  }
  ASSERT_TRUE(QFile::link(Left(), Left() + QStringLiteral("/d3/s4/cycle")));
  CompareFolders();
  EXPECT_EQ(Window->DiffItems().size(), kFiles);
  int different = 0;
  for (const TDiffItem& item : Window->DiffItems()) different += item.Kind == dkDifferent;
  EXPECT_EQ(different, kFiles / 100);
  Window->CenterOnRow(Grid().RowCount() - 1);
  Grid().viewport()->repaint();
}

}  // namespace
