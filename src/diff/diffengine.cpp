#include "diff/diffengine.h"

#include "diff/diffrows.h"
#include "diff/leftmostlcs.h"
#include "diff/linekeys.h"

// The pipeline: keys as ids, the common subsequence, then the rows.
TDiffItems ComputeDiff(const QStringList& left, const QStringList& right, TDiffOptions options) {
  const TLineIds ids = InternKeys(left, right, options);
  const std::vector<TMatch> matches = LeftmostLcs(ids.Left, ids.Right, ids.DistinctCount);
  return BuildRows(matches, left, right, options);
}
