#pragma once
// Walking from difference to difference. Rows are grid rows: row 0 is the header, row r >= 1
// shows item r - 1. In a text comparison the unit is the difference block (a maximal run of rows
// that are not equal); in a folder comparison every differing row is a stop of its own.

#include "diff/diffengine.h"

struct TBlockBounds {
  int First = -1;
  int Last = -1;
};

// The block that holds the item; both -1 when the index is outside the list or the item is equal.
TBlockBounds GetDiffBlockBounds(const TDiffItems& items, int index);

// The grid row to go to, or -1 when there is none.
int FindDiffRowAfter(const TDiffItems& items, int currentRow, bool folderMode);
int FindDiffRowBefore(const TDiffItems& items, int currentRow, bool folderMode);
// The first row of the first block and the last row of the last block; -1 when all rows are equal.
int FirstDiffRow(const TDiffItems& items);
int LastDiffRow(const TDiffItems& items);

// The top row that puts the target row in the middle of the visible rows.
int CenteredTopRow(int targetRow, int visibleRows, int rowCount);
