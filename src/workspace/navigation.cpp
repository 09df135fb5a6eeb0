#include "workspace/navigation.h"

#include <algorithm>

namespace {
constexpr int kFixedRows = 1;

bool IsDiff(const TDiffItems& items, qsizetype index) { return items[index].Kind != dkEqual; }
}  // namespace

TBlockBounds GetDiffBlockBounds(const TDiffItems& items, int index) {
  TBlockBounds block;
  if (index < 0 || index >= items.size() || !IsDiff(items, index)) return block;
  block.First = block.Last = index;
  while (block.First > 0 && IsDiff(items, block.First - 1)) --block.First;
  while (block.Last < items.size() - 1 && IsDiff(items, block.Last + 1)) ++block.Last;
  return block;
}

int FindDiffRowAfter(const TDiffItems& items, int currentRow, bool folderMode) {
  if (items.isEmpty()) return -1;
  int index = currentRow - 1;
  if (!folderMode && index >= 0 && index < items.size() && IsDiff(items, index))
    index = GetDiffBlockBounds(items, index).Last;
  for (qsizetype i = std::max(index + 1, 0); i < items.size(); ++i)
    if (IsDiff(items, i)) return int(i) + 1;
  return -1;
}

int FindDiffRowBefore(const TDiffItems& items, int currentRow, bool folderMode) {
  if (items.isEmpty()) return -1;
  int index = std::min<qsizetype>(currentRow - 1, items.size());
  if (!folderMode && index >= 0 && index < items.size() && IsDiff(items, index))
    index = GetDiffBlockBounds(items, index).First;
  for (int j = index - 1; j >= 0; --j) {
    if (!IsDiff(items, j)) continue;
    if (!folderMode)
      while (j > 0 && IsDiff(items, j - 1)) --j;
    return j + 1;
  }
  return -1;
}

int FirstDiffRow(const TDiffItems& items) {
  for (qsizetype i = 0; i < items.size(); ++i)
    if (IsDiff(items, i)) return int(i) + 1;
  return -1;
}

int LastDiffRow(const TDiffItems& items) {
  for (qsizetype i = items.size() - 1; i >= 0; --i)
    if (IsDiff(items, i)) return int(i) + 1;
  return -1;
}

int CenteredTopRow(int targetRow, int visibleRows, int rowCount) {
  const int visible = std::max(visibleRows, 1);
  const int top = std::max(targetRow - visible / 2, kFixedRows);
  const int maxTop = std::max(rowCount - visible, kFixedRows);
  return std::min(top, maxTop);
}
