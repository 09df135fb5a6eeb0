#pragma once
// Copying a difference block from one side over the other.

#include "diff/diffengine.h"
#include "workspace/workspace.h"

#include <QStringList>

struct TLineRange {
  int Start = 0;
  int Count = 0;
};

// The lines of a side that the block first..last covers; for a block without a line on that
// side, an empty range behind the nearest line above it (or before the nearest one below it, or
// at the end of the side).
TLineRange GetBlockRange(const TDiffItems& items, TSide side, int first, int last, int sideLineCount);

// Replaces the target side's lines of the block that holds the item with the block's source lines.
// Nothing changes for an equal item or a block without a line on the source side.
void CopyBlock(const TDiffItems& items, int index, TSide from, const QStringList& source, QStringList& target);
