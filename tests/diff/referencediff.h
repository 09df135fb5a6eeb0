#pragma once
// A literal, slow rendering of the alignment, written for clarity and nothing else: the truth the
// engine's fast paths are compared against.

#include "diff/diffengine.h"

#include <vector>

namespace reference {

// The key rule, step by step on a working copy.
QString Key(const QString& line, const TDiffOptions& options);

// Hirschberg's recursion over string keys with the smallest-split tie-break and the first equal
// right line for a single left line.
std::vector<TMatch> Matches(const QStringList& leftKeys, const QStringList& rightKeys);

// Keys, matches, raw rows, gap pairing, change ranges and the blank-line rule.
TDiffItems Diff(const QStringList& left, const QStringList& right, const TDiffOptions& options);

}  // namespace reference
