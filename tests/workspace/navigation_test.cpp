#include "workspace/navigation.h"

#include "itemnotation.h"

#include <gtest/gtest.h>

using notation::Kinds;

namespace {

struct TStep {
  const char* Items;
  bool FolderMode;
  int From;
  int Next;      // -1: beep
  int Previous;  // -1: beep
};

class NavigationTest : public ::testing::TestWithParam<TStep> {};

TEST_P(NavigationTest, FindsTheNextAndThePreviousStop) {
  const TStep& step = GetParam();
  const TDiffItems items = Kinds(QString::fromLatin1(step.Items));
  EXPECT_EQ(FindDiffRowAfter(items, step.From, step.FolderMode), step.Next);
  EXPECT_EQ(FindDiffRowBefore(items, step.From, step.FolderMode), step.Previous);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, NavigationTest,
    ::testing::Values(
        // Items E, D, D, E, L, E: rows 1-6.
        TStep{"EDDELE", false, 1, 2, -1}, TStep{"EDDELE", false, 2, 5, -1}, TStep{"EDDELE", false, 3, 5, -1},
        TStep{"EDDELE", false, 5, -1, 2}, TStep{"EDDELE", false, 6, -1, 5}, TStep{"EDDELE", false, 4, 5, 2},
        // The header row lies before the first item.
        TStep{"EDDELE", false, 0, 2, -1},
        // L, R, D with nothing equal between them are one block.
        TStep{"LRDE", false, 1, -1, -1}, TStep{"ELRDED", false, 2, 6, -1}, TStep{"ELRDED", false, 6, -1, 2},
        // Only equal rows, and no rows at all.
        TStep{"EEE", false, 2, -1, -1}, TStep{"", false, 1, -1, -1},
        // In folder mode every differing row is a stop of its own.
        TStep{"EDDE", true, 1, 2, -1}, TStep{"EDDE", true, 2, 3, -1}, TStep{"EDDE", true, 4, -1, 3},
        TStep{"EDDE", true, 3, -1, 2}));

TEST(BlockBoundsTest, CoverTheRunAroundTheItem) {
  const TDiffItems items = Kinds(QStringLiteral("EDLRED"));
  for (int i : {1, 2, 3}) {
    EXPECT_EQ(GetDiffBlockBounds(items, i).First, 1);
    EXPECT_EQ(GetDiffBlockBounds(items, i).Last, 3);
  }
  EXPECT_EQ(GetDiffBlockBounds(items, 5).First, 5);
  EXPECT_EQ(GetDiffBlockBounds(items, 5).Last, 5);
  for (int i : {-1, 0, 4, 6}) EXPECT_EQ(GetDiffBlockBounds(items, i).First, -1);
}

TEST(FirstAndLastTest, GoToTheFirstRowOfTheFirstBlockAndTheLastRowOfTheLastBlock) {
  EXPECT_EQ(FirstDiffRow(Kinds(QStringLiteral("EDDE"))), 2);
  EXPECT_EQ(LastDiffRow(Kinds(QStringLiteral("EDDE"))), 3);
  EXPECT_EQ(FirstDiffRow(Kinds(QStringLiteral("EEE"))), -1);
  EXPECT_EQ(LastDiffRow(Kinds(QStringLiteral(""))), -1);
}

TEST(CenteringTest, KeepsTheTopRowInsideTheGrid) {
  // 100 item rows (row count 101), 20 visible rows.
  EXPECT_EQ(CenteredTopRow(100, 20, 101), 81);
  EXPECT_EQ(CenteredTopRow(50, 20, 101), 40);
  EXPECT_EQ(CenteredTopRow(3, 20, 101), 1);
  // Nothing visible counts as one row; a grid smaller than its window starts at row 1.
  EXPECT_EQ(CenteredTopRow(5, 0, 101), 5);
  EXPECT_EQ(CenteredTopRow(5, 20, 10), 1);
}

}  // namespace
