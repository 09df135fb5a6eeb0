#include "diff/quickbound.h"

#include <algorithm>
#include <vector>

namespace {

struct TAnchor {
  std::int64_t I, J;
};

// Pairs of positions of the lines that occur exactly once on each side, in left order.
std::vector<TAnchor> UniquePairs(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int32_t idCount) {
  std::vector<std::int32_t> countA(idCount, 0), countB(idCount, 0);
  std::vector<std::int64_t> posB(idCount, -1);
  for (std::int32_t id : a) ++countA[id];
  for (std::size_t j = 0; j < b.size(); ++j) {
    ++countB[b[j]];
    posB[b[j]] = static_cast<std::int64_t>(j);
  }
  std::vector<TAnchor> pairs;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (countA[a[i]] == 1 && countB[a[i]] == 1) pairs.push_back({static_cast<std::int64_t>(i), posB[a[i]]});
  return pairs;
}

// The longest subsequence of the pairs increasing in J (patience sorting with back links).
std::vector<TAnchor> LongestIncreasing(const std::vector<TAnchor>& pairs) {
  std::vector<std::size_t> pileTops, previous(pairs.size());
  for (std::size_t p = 0; p < pairs.size(); ++p) {
    const auto pile = std::lower_bound(pileTops.begin(), pileTops.end(), pairs[p].J,
                                       [&](std::size_t top, std::int64_t j) { return pairs[top].J < j; });
    previous[p] = pile == pileTops.begin() ? p : *(pile - 1);
    if (pile == pileTops.end()) pileTops.push_back(p);
    else *pile = p;
  }
  std::vector<TAnchor> chain;
  if (pileTops.empty()) return chain;
  for (std::size_t p = pileTops.back();; p = previous[p]) {
    chain.push_back(pairs[p]);
    if (previous[p] == p) break;
  }
  std::reverse(chain.begin(), chain.end());
  return chain;
}

// Equal lines matched forwards from (i, j) and backwards from (iEnd, jEnd), without crossing.
std::int64_t ExtendGap(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int64_t i, std::int64_t j,
                       std::int64_t iEnd, std::int64_t jEnd) {
  std::int64_t matched = 0;
  while (i < iEnd && j < jEnd && a[i] == b[j]) ++i, ++j, ++matched;
  while (iEnd > i && jEnd > j && a[iEnd - 1] == b[jEnd - 1]) --iEnd, --jEnd, ++matched;
  return matched;
}

}  // namespace

std::int64_t QuickCommonLength(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int32_t idCount) {
  std::int64_t matched = 0, i = 0, j = 0;
  for (const TAnchor& anchor : LongestIncreasing(UniquePairs(a, b, idCount))) {
    matched += ExtendGap(a, b, i, j, anchor.I, anchor.J) + 1;
    i = anchor.I + 1;
    j = anchor.J + 1;
  }
  return matched + ExtendGap(a, b, i, j, static_cast<std::int64_t>(a.size()), static_cast<std::int64_t>(b.size()));
}
