// GNU diff --minimal as an oracle for the size of the common subsequence on generated files of a
// few thousand lines: with all options off the equal rows must be exactly that many.

#include "diff/diffchecks.h"
#include "diff/generatedlines.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const kGnuDiff = "/usr/bin/diff";

struct TOracleCase {
  const char* Name;
  QStringList (*Left)();
  QStringList (*Right)();
  friend void PrintTo(const TOracleCase& c, std::ostream* os) { *os << c.Name; }
};

const TOracleCase kCases[] = {
    {"NearlyEqualSource", [] { return generated::SourceLines(4000, 11); },
     [] { return generated::WithEdits(generated::SourceLines(4000, 11), 80, 12); }},
    {"MovedBlock", [] { return generated::SourceLines(4000, 13); },
     [] { return generated::WithMovedBlock(generated::SourceLines(4000, 13), 500, 700, 2500); }},
    {"FewDistinctLines", [] { return generated::FewDistinct(3000, 4, 14); },
     [] { return generated::FewDistinct(3000, 4, 15); }},
    {"UnrelatedSource", [] { return generated::SourceLines(3000, 16); },
     [] { return generated::SourceLines(3000, 17); }},
};

bool WriteLines(const QString& path, const QStringList& lines) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  for (const QString& line : lines) file.write(line.toUtf8() + '\n');
  return file.error() == QFile::NoError;
}

// The number of left lines GNU diff reports as deleted ("< " lines of its normal output).
qsizetype DeletedByGnuDiff(const QString& leftPath, const QString& rightPath) {
  QProcess diff;
  diff.start(QString::fromLatin1(kGnuDiff), {QStringLiteral("--minimal"), leftPath, rightPath});
  if (!diff.waitForFinished(60000) || diff.exitStatus() != QProcess::NormalExit || diff.exitCode() > 1) return -1;
  qsizetype deleted = 0;
  for (const QByteArray& line : diff.readAllStandardOutput().split('\n'))
    if (line.startsWith("< ") || line == "<") ++deleted;
  return deleted;
}

class OracleTest : public testing::TestWithParam<TOracleCase> {};

TEST_P(OracleTest, EqualRowsMatchTheLongestCommonSubsequenceOfGnuDiff) {
  if (!QFile::exists(QString::fromLatin1(kGnuDiff))) GTEST_SKIP() << kGnuDiff << " is not installed";
  const QStringList left = GetParam().Left(), right = GetParam().Right();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString leftPath = dir.filePath(QStringLiteral("left.txt")), rightPath = dir.filePath(QStringLiteral("right.txt"));
  ASSERT_TRUE(WriteLines(leftPath, left) && WriteLines(rightPath, right));
  const qsizetype deleted = DeletedByGnuDiff(leftPath, rightPath);
  ASSERT_GE(deleted, 0) << "diff failed";

  const TDiffItems rows = ComputeDiff(left, right, {});
  EXPECT_TRUE(diffchecks::IsCompleteAlignment(rows, left, right, {}));
  EXPECT_EQ(diffchecks::CountKind(rows, dkEqual), left.size() - deleted);
}

INSTANTIATE_TEST_SUITE_P(GnuDiff, OracleTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TOracleCase>& info) { return info.param.Name; });

}  // namespace
