#include "workspace/merging.h"

#include "itemnotation.h"

#include <gtest/gtest.h>

using notation::Row;

namespace {

struct TCopyCase {
  const char* Name;
  QStringList Left;
  QStringList Right;
  TDiffItems Items;
  int SelectedRow;
  TSide From;
  QStringList ExpectedLeft;
  QStringList ExpectedRight;
};

void PrintTo(const TCopyCase& c, std::ostream* out) { *out << c.Name; }

class BlockCopyTest : public ::testing::TestWithParam<TCopyCase> {};

TEST_P(BlockCopyTest, ReplacesTheTargetLinesOfTheBlock) {
  const TCopyCase& c = GetParam();
  QStringList left = c.Left;
  QStringList right = c.Right;
  if (c.From == sdLeft) CopyBlock(c.Items, c.SelectedRow - 1, sdLeft, left, right);
  else CopyBlock(c.Items, c.SelectedRow - 1, sdRight, right, left);
  EXPECT_EQ(left, c.ExpectedLeft);
  EXPECT_EQ(right, c.ExpectedRight);
}

const TDiffItems kChanged{Row(0, 0, 'E'), Row(1, 1, 'D'), Row(2, -1, 'L'), Row(3, 2, 'E')};
const TDiffItems kAdded{Row(0, 0, 'E'), Row(-1, 1, 'R'), Row(1, 2, 'E')};

INSTANTIATE_TEST_SUITE_P(
    Examples, BlockCopyTest,
    ::testing::Values(
        TCopyCase{"ToRightFromRow2", {"a", "b", "c", "d"}, {"a", "x", "d"}, kChanged, 2, sdLeft,
                  {"a", "b", "c", "d"}, {"a", "b", "c", "d"}},
        TCopyCase{"ToRightFromRow3", {"a", "b", "c", "d"}, {"a", "x", "d"}, kChanged, 3, sdLeft,
                  {"a", "b", "c", "d"}, {"a", "b", "c", "d"}},
        TCopyCase{"ToLeftDeletesTheSurplus", {"a", "b", "c", "d"}, {"a", "x", "d"}, kChanged, 3, sdRight,
                  {"a", "x", "d"}, {"a", "x", "d"}},
        TCopyCase{"ToRightWithoutSourceLinesChangesNothing", {"a", "d"}, {"a", "y", "d"}, kAdded, 2, sdLeft,
                  {"a", "d"}, {"a", "y", "d"}},
        TCopyCase{"ToLeftInsertsBehindTheLineAbove", {"a", "d"}, {"a", "y", "d"}, kAdded, 2, sdRight,
                  {"a", "y", "d"}, {"a", "y", "d"}},
        TCopyCase{"ToRightInsertsBeforeTheLineBelow", {"p", "a"}, {"a"}, {Row(0, -1, 'L'), Row(1, 0, 'E')}, 1,
                  sdLeft, {"p", "a"}, {"p", "a"}},
        TCopyCase{"ToRightAppendsToAnEmptySide", {"p"}, {}, {Row(0, -1, 'L')}, 1, sdLeft, {"p"}, {"p"}},
        TCopyCase{"AnEqualRowCopiesNothing", {"a", "b", "c", "d"}, {"a", "x", "d"}, kChanged, 1, sdLeft,
                  {"a", "b", "c", "d"}, {"a", "x", "d"}},
        TCopyCase{"ABlockBetweenTwoBlocksKeepsTheOthers", {"a", "b", "c", "d", "e"}, {"x", "b", "y", "d", "z"},
                  {Row(0, 0, 'D'), Row(1, 1, 'E'), Row(2, 2, 'D'), Row(3, 3, 'E'), Row(4, 4, 'D')}, 3, sdLeft,
                  {"a", "b", "c", "d", "e"}, {"x", "b", "c", "d", "z"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BlockRangeTest, FallsBackToTheNearestLineAboveThenBelowThenTheEnd) {
  const TDiffItems items{Row(0, 0, 'E'), Row(1, -1, 'L'), Row(2, -1, 'L'), Row(3, 1, 'E')};
  EXPECT_EQ(GetBlockRange(items, sdRight, 1, 2, 2).Start, 1);
  EXPECT_EQ(GetBlockRange(items, sdRight, 1, 2, 2).Count, 0);
  EXPECT_EQ(GetBlockRange(items, sdLeft, 1, 2, 4).Start, 1);
  EXPECT_EQ(GetBlockRange(items, sdLeft, 1, 2, 4).Count, 2);
  const TDiffItems below{Row(0, -1, 'L'), Row(1, 0, 'E')};
  EXPECT_EQ(GetBlockRange(below, sdRight, 0, 0, 1).Start, 0);
  const TDiffItems alone{Row(0, -1, 'L')};
  EXPECT_EQ(GetBlockRange(alone, sdRight, 0, 0, 7).Start, 7);
}

TEST(BlockCopyTest, StaleIndexesNeverReachOutsideTheSides) {
  // Rows that name lines the sides no longer have copy only the lines that exist.
  const TDiffItems items{Row(5, 9, 'D')};
  QStringList left{"a"};
  QStringList right{"b"};
  CopyBlock(items, 0, sdLeft, left, right);
  EXPECT_EQ(right, QStringList({"b"}));
}

TEST(BlockCopyTest, ALargeBlockIntoALongSideKeepsTheOrder) {
  QStringList left;
  QStringList right;
  TDiffItems items;
  for (int i = 0; i < 1000; ++i) {
    right.append(QString::number(i));
    items.append(Row(-1, i, 'E'));
  }
  for (int i = 0; i < 500; ++i) left.append(QStringLiteral("new %1").arg(i));
  TDiffItems withBlock = items.mid(0, 300);
  for (int i = 0; i < 500; ++i) withBlock.append(Row(i, -1, 'L'));
  withBlock += items.mid(300);
  CopyBlock(withBlock, 300, sdLeft, left, right);
  ASSERT_EQ(right.size(), 1500);
  EXPECT_EQ(right[299], QStringLiteral("299"));
  EXPECT_EQ(right[300], QStringLiteral("new 0"));
  EXPECT_EQ(right[799], QStringLiteral("new 499"));
  EXPECT_EQ(right[800], QStringLiteral("300"));
}

}  // namespace
