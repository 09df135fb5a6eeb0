#pragma once
// A common subsequence found quickly, to bound the cost of the exact search from above.

#include <cstdint>
#include <span>

// Length of a common subsequence (not always a longest one): the lines that occur once on each
// side, in their longest increasing order, each extended over equal neighbouring lines. Takes
// about (|a| + |b|) log(|a| + |b|) time. Ids must lie in 0 … idCount − 1.
std::int64_t QuickCommonLength(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int32_t idCount);
