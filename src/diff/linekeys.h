#pragma once
// Comparison keys as 32-bit ids: two lines get the same id exactly when their keys are equal, so
// the alignment compares integers instead of strings.

#include "diff/diffengine.h"

#include <cstdint>
#include <vector>

struct TLineIds {
  std::vector<std::int32_t> Left;
  std::vector<std::int32_t> Right;
  std::int32_t DistinctCount = 0;  // ids run from 0 to DistinctCount - 1
};

// Computes every key once and numbers the distinct keys in order of first appearance.
TLineIds InternKeys(const QStringList& left, const QStringList& right, const TDiffOptions& options);
