#pragma once
// The common subsequence the alignment is built on: of all longest common subsequences of the two
// id sequences, the one a walk from the start takes when it drops the next left line whenever a
// longest one stays reachable, otherwise matches the two lines when they are equal, otherwise
// drops the next right line. This is exactly the one Hirschberg's recursion finds when it splits at
// the smallest best column and matches the first equal right line of a single left line.

#include "diff/diffengine.h"

#include <cstdint>
#include <span>
#include <vector>

// How the work is divided; every setting gives the same matches, only time and memory differ.
struct TAlignTuning {
  // Pieces with at most this many unmatched lines are solved by the cost walk, whose table grows
  // with its square (2048: about 8 MB); below 0 the walk is never used.
  std::int64_t WalkMaxCost = 2048;
  // Width of the column strips of the bit-parallel rows, in 64-bit words.
  std::int32_t StripWords = 8;
  // Recursion levels that may hand half of their work to a second thread; 0 keeps one thread.
  int ParallelDepth = 2;
  // Smallest table area (cells inside the band) worth a second thread.
  std::int64_t ParallelMinCells = std::int64_t(1) << 24;
  // Lines whose id never occurs on the other side are taken out before the search.
  bool DiscardUnmatched = true;
};

// The matches in ascending order of both indices. Ids must lie in 0 … idCount − 1.
std::vector<TMatch> LeftmostLcs(std::span<const std::int32_t> left, std::span<const std::int32_t> right,
                                std::int32_t idCount, const TAlignTuning& tuning = {});
