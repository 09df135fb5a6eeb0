#pragma once
// From the match list to the rows the user sees: the unmatched lines of each gap paired by
// position, the changed stretch of each paired row, and the blank-line rule.

#include "diff/diffengine.h"

#include <vector>

// The matches must ascend in both indices and refer to lines of the two lists.
TDiffItems BuildRows(const std::vector<TMatch>& matches, const QStringList& left, const QStringList& right,
                     const TDiffOptions& options);

// Sets the change range of a changed row from its two lines, as loaded and case-sensitively: the
// stretch left after the common prefix and the common suffix that does not reach into it.
void ComputeChangeRange(QStringView x, QStringView y, TDiffItem& item);
