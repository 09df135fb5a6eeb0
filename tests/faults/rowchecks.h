#pragma once
// What must hold after any comparison, failed or not: every row names lines that exist, the
// grid shows exactly these rows with their lines, and painting them goes through.

#include "app/tfrmmain.h"
#include "view/diffgrid.h"

#include <QAbstractItemView>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

// After a comparison that went through, the rows also cover every line of both sides.
inline void ExpectRowsConsistent(TfrmMain& window, bool coverTheSides) {
  const TDiffItems& items = window.DiffItems();
  const QStringList& left = window.LeftLines();
  const QStringList& right = window.RightLines();
  TDiffGrid& grid = *window.Grid();
  ASSERT_EQ(grid.RowCount(), std::max<qsizetype>(items.size(), 1) + 1);
  qint32 lastLeft = -1;
  qint32 lastRight = -1;
  for (qsizetype i = 0; i < items.size(); ++i) {
    const TDiffItem& item = items[i];
    ASSERT_TRUE(item.LeftIndex >= -1 && item.LeftIndex < left.size()) << "row " << i << " left " << item.LeftIndex;
    ASSERT_TRUE(item.RightIndex >= -1 && item.RightIndex < right.size()) << "row " << i << " right " << item.RightIndex;
    ASSERT_FALSE(item.LeftIndex < 0 && item.RightIndex < 0) << "row " << i << " names no line";
    // Each line is shown once, in order.
    if (item.LeftIndex >= 0) {
      ASSERT_EQ(item.LeftIndex, ++lastLeft) << "row " << i;
    }
    if (item.RightIndex >= 0) {
      ASSERT_EQ(item.RightIndex, ++lastRight) << "row " << i;
    }
    ASSERT_EQ(grid.Cells(1, int(i) + 1), item.LeftIndex >= 0 ? left[item.LeftIndex] : QString()) << "row " << i;
    ASSERT_EQ(grid.Cells(2, int(i) + 1), item.RightIndex >= 0 ? right[item.RightIndex] : QString()) << "row " << i;
  }
  if (coverTheSides) {
    EXPECT_EQ(lastLeft + 1, left.size()) << "every left line has its row";
    EXPECT_EQ(lastRight + 1, right.size()) << "every right line has its row";
  }
  grid.viewport()->repaint();
}
