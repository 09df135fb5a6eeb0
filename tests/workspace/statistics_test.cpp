#include "workspace/workspace.h"

#include "itemnotation.h"

#include <QLocale>

#include <gtest/gtest.h>

using notation::Kinds;

namespace {

class StatisticsTest : public ::testing::Test {
protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::English)); }
  void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(StatisticsTest, CountsRowsAsLines) {
  EXPECT_EQ(StatisticsText(QStringLiteral("P."), Kinds(QStringLiteral("EED"))),
            QStringLiteral("P. Equal lines: 2 of 3 (66.7%). Different lines: 1."));
  EXPECT_EQ(StatisticsText(QStringLiteral("P."), Kinds(QStringLiteral("LRDE"))),
            QStringLiteral("P. Equal lines: 1 of 4 (25.0%). Different lines: 3."));
}

TEST_F(StatisticsTest, NoRowsMeansNoComparableLines) {
  EXPECT_EQ(StatisticsText(QStringLiteral("P."), {}), QStringLiteral("P. No comparable lines."));
}

TEST_F(StatisticsTest, ThePercentageUsesTheLocaleDecimalSeparator) {
  QLocale::setDefault(QLocale(QLocale::German));
  EXPECT_EQ(StatisticsText(QStringLiteral("P."), Kinds(QStringLiteral("EED"))),
            QStringLiteral("P. Equal lines: 2 of 3 (66,7%). Different lines: 1."));
}

TEST_F(StatisticsTest, TheSummaryHasFourLines) {
  EXPECT_EQ(SummaryText(QStringLiteral("2 lines (left file) vs 1 lines (right file)."), Kinds(QStringLiteral("ED"))),
            QStringLiteral("Compared:\r\n2 lines (left file) vs 1 lines (right file).\r\n"
                           "Equal lines: 1 of 2 (50.0%).\r\nDifferent lines: 1."));
}

TEST(WorkspaceTest, KeepsAtMostThreeUndoStatesAndDropsTheOldest) {
  TWorkspace workspace;
  for (int i = 1; i <= 4; ++i) workspace.PushUndoState(TUndoState{{QString::number(i)}, {}, i, 1, 1});
  EXPECT_EQ(workspace.UndoCount(), MaxUndoStates);
  TUndoState state;
  for (int expected : {4, 3, 2}) {
    ASSERT_TRUE(workspace.PopUndoState(state));
    EXPECT_EQ(state.SelectedRow, expected);
  }
  EXPECT_FALSE(workspace.PopUndoState(state));
}

TEST(WorkspaceTest, LinesIdenticalComparesExactly) {
  EXPECT_TRUE(LinesIdentical({"a", "b"}, {"a", "b"}));
  EXPECT_FALSE(LinesIdentical({"a", "b"}, {"a", "B"}));
  EXPECT_FALSE(LinesIdentical({"a"}, {"a", ""}));
  EXPECT_TRUE(LinesIdentical({}, {}));
}

}  // namespace
