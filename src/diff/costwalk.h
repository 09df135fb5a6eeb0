#pragma once
// The leftmost longest common subsequence of two nearly equal id sequences, in time about
// (|a| + |b|) · D and memory D² / 2, D being the number of lines outside the subsequence.

#include "diff/diffengine.h"

#include <cstdint>
#include <span>
#include <vector>

// Appends the matches, shifted by offset, when D is at most maxCost and returns true; otherwise
// appends nothing and returns false. The matches are the ones the walk from the start takes when it
// drops a left line whenever a longest subsequence stays reachable, else matches equal lines,
// else drops a right line.
bool AppendCostWalk(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int64_t maxCost,
                    TMatch offset, std::vector<TMatch>& out);
