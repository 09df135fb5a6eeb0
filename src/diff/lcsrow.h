#pragma once
// Bit-parallel rows of the LCS table: one machine word holds 64 cells of a row, so a row of the
// table costs |b| / 64 word operations instead of |b| key comparisons.

#include <cstdint>
#include <span>
#include <vector>

// Diagonals column − row of the table between Lo and Hi, both included.
struct TDiagonalBand {
  std::int64_t Lo = 0;
  std::int64_t Hi = 0;
};

// Working memory of LcsRow, kept by one thread and reused from call to call.
struct TLcsScratch {
  explicit TLcsScratch(std::int32_t idCount) : LocalOfId(idCount, -1) {}
  std::vector<std::int32_t> LocalOfId;  // per id: its mask slot in the current strip, or -1
  std::vector<std::int32_t> StripIds;
  std::vector<std::uint64_t> Masks;
  std::vector<std::uint64_t> Bits;
  std::vector<std::uint8_t> Carry;
};

// Row[k] = length of the longest common subsequence of a and b[0 .. k), for k = 0 … |b|, where only
// matches near the band are counted: every common subsequence whose path through the table stays
// inside the band is counted in full, and no value exceeds the true length. With a band that holds
// every diagonal the row is exact. stripWords is the width of the column strips the table is
// walked in; wider strips cost fewer look-ups and more cells outside the band.
void LcsRow(std::span<const std::int32_t> a, std::span<const std::int32_t> b, TDiagonalBand band,
            std::int32_t stripWords, TLcsScratch& scratch, std::vector<std::int32_t>& row);
