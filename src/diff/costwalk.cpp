#include "diff/costwalk.h"

#include <algorithm>
#include <limits>

// Cost D(i, j) of a point of the table: the lines of a[i ..] and b[j ..] left outside a longest
// common subsequence of the two suffixes. Along a diagonal k = j − i the cost never grows towards
// the end, so the points of cost ≤ d on a diagonal are those from some start onwards. A backward
// furthest-reaching search finds these starts for d = 0, 1, … until the start of the table is
// reached; with them the walk from the start asks "does dropping the next left line lower the
// cost by one?" in constant time.

namespace {

constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();

// The starts of every level searched so far. Level d holds the diagonals delta − d, delta − d + 2,
// … delta + d: the only ones whose points can have cost d.
struct TCostFrontiers {
  std::span<const std::int32_t> A, B;
  std::int64_t N = 0, Delta = 0;
  std::vector<std::int32_t> Starts;
};

std::int64_t LevelOffset(std::int64_t d) { return d * (d + 1) / 2; }

// Smallest i on diagonal k whose cost is at most d, or kNone when there is none.
std::int32_t Start(const TCostFrontiers& f, std::int64_t d, std::int64_t k) {
  const std::int64_t t = k - (f.Delta - d);
  if (d < 0 || t < 0 || t > 2 * d || (t & 1)) return kNone;
  return f.Starts[LevelOffset(d) + t / 2];
}

// Smallest i on diagonal k from which one dropped line leads to a point of cost d − 1.
std::int32_t Reachable(const TCostFrontiers& f, std::int64_t d, std::int64_t k) {
  std::int32_t best = kNone;
  const std::int32_t afterLeft = Start(f, d - 1, k - 1);  // dropping a[i] leads to (i + 1, j)
  if (afterLeft != kNone && afterLeft >= 1) best = afterLeft - 1;
  const std::int32_t afterRight = Start(f, d - 1, k + 1);  // dropping b[j] leads to (i, j + 1)
  if (afterRight != kNone && afterRight + k >= 0) best = std::min(best, afterRight);
  return best;
}

std::int32_t SlideBack(const TCostFrontiers& f, std::int32_t i, std::int64_t k) {
  std::int64_t j = i + k;
  while (i > 0 && j > 0 && f.A[i - 1] == f.B[j - 1]) {
    --i;
    --j;
  }
  return i;
}

void AddLevel(TCostFrontiers& f, std::int64_t d) {
  f.Starts.resize(LevelOffset(d + 1), kNone);
  for (std::int64_t t = 0; t <= d; ++t) {
    const std::int64_t k = f.Delta - d + 2 * t;
    if (k < -f.N || k > f.N + f.Delta) continue;  // the diagonal misses the table
    const std::int32_t from = d == 0 ? static_cast<std::int32_t>(f.N) : Reachable(f, d, k);
    if (from != kNone) f.Starts[LevelOffset(d) + t] = SlideBack(f, from, k);
  }
}

// Adds levels until the start of the table is reached; returns D(0, 0), or -1 past maxCost.
std::int64_t Search(TCostFrontiers& f, std::int64_t maxCost) {
  for (std::int64_t d = 0; d <= maxCost; ++d) {
    AddLevel(f, d);
    if (Start(f, d, 0) == 0) return d;
  }
  return -1;
}

}  // namespace

bool AppendCostWalk(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int64_t maxCost,
                    TMatch offset, std::vector<TMatch>& out) {
  TCostFrontiers f{a, b, static_cast<std::int64_t>(a.size()),
                   static_cast<std::int64_t>(b.size()) - static_cast<std::int64_t>(a.size()), {}};
  std::int64_t d = Search(f, maxCost);
  if (d < 0) return false;
  const auto n = static_cast<std::int64_t>(a.size());
  const auto m = static_cast<std::int64_t>(b.size());
  std::int64_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && Start(f, d - 1, j - i - 1) <= i + 1) {
      ++i;
      --d;
    } else if (i < n && j < m && a[i] == b[j]) {
      out.push_back({offset.L + static_cast<std::int32_t>(i), offset.R + static_cast<std::int32_t>(j)});
      ++i;
      ++j;
    } else {
      ++j;
      --d;
    }
  }
  return true;
}
