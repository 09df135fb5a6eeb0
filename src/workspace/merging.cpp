#include "workspace/merging.h"

#include "workspace/navigation.h"

#include <algorithm>

namespace {
int LineOf(const TDiffItem& item, TSide side) { return side == sdLeft ? item.LeftIndex : item.RightIndex; }

QStringList BlockLines(const TDiffItems& items, TBlockBounds block, TSide side, const QStringList& lines) {
  QStringList result;
  for (int i = block.First; i <= block.Last; ++i) {
    const int line = LineOf(items[i], side);
    if (line >= 0 && line < lines.size()) result.append(lines[line]);
  }
  return result;
}
}  // namespace

TLineRange GetBlockRange(const TDiffItems& items, TSide side, int first, int last, int sideLineCount) {
  int lo = -1;
  int hi = -1;
  for (int i = first; i <= last; ++i) {
    const int line = LineOf(items[i], side);
    if (line < 0) continue;
    lo = lo < 0 ? line : std::min(lo, line);
    hi = std::max(hi, line);
  }
  if (lo >= 0) return {lo, hi - lo + 1};
  for (int i = first - 1; i >= 0; --i)
    if (LineOf(items[i], side) >= 0) return {LineOf(items[i], side) + 1, 0};
  for (qsizetype i = last + 1; i < items.size(); ++i)
    if (LineOf(items[i], side) >= 0) return {LineOf(items[i], side), 0};
  return {sideLineCount, 0};
}

void CopyBlock(const TDiffItems& items, int index, TSide from, const QStringList& source, QStringList& target) {
  const TBlockBounds block = GetDiffBlockBounds(items, index);
  if (block.First < 0) return;
  const QStringList lines = BlockLines(items, block, from, source);
  if (lines.isEmpty()) return;
  const TLineRange range = GetBlockRange(items, OtherSide(from), block.First, block.Last, int(target.size()));
  const int start = std::clamp(range.Start, 0, int(target.size()));
  const int count = std::min(range.Count, int(target.size()) - start);
  if (lines.size() == count) {
    for (int j = 0; j < count; ++j) target[start + j] = lines[j];
    return;
  }
  // Rebuilt in one pass: inserting line by line into a long side would be quadratic.
  QStringList result;
  result.reserve(target.size() - count + lines.size());
  result << target.mid(0, start) << lines << target.mid(start + count);
  target = std::move(result);
}
