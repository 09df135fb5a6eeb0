#include "diff/leftmostlcs.h"

#include "diff/costwalk.h"
#include "diff/lcsrow.h"
#include "diff/quickbound.h"

#include <algorithm>
#include <future>
#include <thread>

// Divide and conquer over the table of left lines (rows) against right lines (columns). A piece
// whose cost D (lines left outside its longest subsequence) is small goes to the cost walk; a
// larger one is split at its middle row with two bit-parallel LCS rows, at the smallest column with
// the best total. That point lies on the leftmost path, so the leftmost paths of the two halves
// joined give the leftmost path of the piece. Every path of cost ≤ D stays within a band of about D
// diagonals, so the rows are only computed inside that band.

namespace {

struct TPiece {
  std::int32_t ALo, AHi, BLo, BHi;
  std::int64_t Rows() const { return AHi - ALo; }
  std::int64_t Cols() const { return BHi - BLo; }
};

struct TAlignContext {
  std::span<const std::int32_t> A, B;
  std::int32_t IdCount;
  TAlignTuning Tuning;
};

// Where a piece is split, and the costs of its two halves.
struct TSplit {
  std::int32_t Col = 0;
  std::int64_t TopCost = 0, BottomCost = 0;
};

// The diagonals a path of cost ≤ bound can touch: |k| + |delta − k| ≤ bound.
TDiagonalBand BandFor(std::int64_t rows, std::int64_t cols, std::int64_t bound) {
  const std::int64_t delta = cols - rows;
  return {-((bound - delta) >> 1), (delta + bound) >> 1};
}

std::int64_t BandCells(std::int64_t rows, std::int64_t cols, std::int64_t bound) {
  return rows * std::min(cols, bound + 1);
}

bool MayUseThread(const TAlignContext& ctx, int depth, std::int64_t cells) {
  return depth < ctx.Tuning.ParallelDepth && cells >= ctx.Tuning.ParallelMinCells &&
         std::thread::hardware_concurrency() > 1;
}

// Runs both tasks, the first on a thread of its own when allowed.
template <typename First, typename Second>
void RunBoth(bool parallel, First first, Second second) {
  if (!parallel) {
    first();
    second();
    return;
  }
  auto pending = std::async(std::launch::async, first);
  second();
  pending.get();
}

std::vector<std::int32_t> Reversed(std::span<const std::int32_t> ids) { return {ids.rbegin(), ids.rend()}; }

// The best split for a piece whose cost is at most bound, or (when the bound was only a guess and
// is too small) a split that shows a larger bound.
struct TSplitScan {
  TSplit Split;
  std::int64_t Cost = 0;
};

TSplitScan ScanSplit(const TAlignContext& ctx, TPiece p, std::int64_t bound, int depth, TLcsScratch& scratch) {
  const std::int32_t mid = p.ALo + static_cast<std::int32_t>(p.Rows() / 2);
  const TDiagonalBand band = BandFor(p.Rows(), p.Cols(), bound);
  const std::int64_t delta = p.Cols() - p.Rows();
  const auto cols = ctx.B.subspan(p.BLo, p.Cols());
  std::vector<std::int32_t> forward, backward;
  const bool parallel = MayUseThread(ctx, depth, BandCells(p.Rows(), p.Cols(), bound));
  const auto top = [&] {
    LcsRow(ctx.A.subspan(p.ALo, mid - p.ALo), cols, band, ctx.Tuning.StripWords, scratch, forward);
  };
  RunBoth(parallel, top, [&] {
    TLcsScratch own(parallel ? ctx.IdCount : 0);
    const std::vector<std::int32_t> a = Reversed(ctx.A.subspan(mid, p.AHi - mid));
    const std::vector<std::int32_t> b = Reversed(cols);
    LcsRow(a, b, {delta - band.Hi, delta - band.Lo}, ctx.Tuning.StripWords, parallel ? own : scratch, backward);
  });
  const std::int64_t m = p.Cols();
  std::int64_t bestK = 0, best = -1;
  for (std::int64_t k = 0; k <= m; ++k) {
    const std::int64_t sum = forward[k] + backward[m - k];
    if (sum > best) {
      best = sum;
      bestK = k;
    }
  }
  TSplitScan scan;
  scan.Cost = p.Rows() + p.Cols() - 2 * best;
  scan.Split.Col = p.BLo + static_cast<std::int32_t>(bestK);
  scan.Split.TopCost = (mid - p.ALo) + bestK - 2 * forward[bestK];
  scan.Split.BottomCost = (p.AHi - mid) + (m - bestK) - 2 * backward[m - bestK];
  return scan;
}

void AppendFirstEqual(const TAlignContext& ctx, TPiece p, std::vector<TMatch>& out) {
  for (std::int32_t b = p.BLo; b < p.BHi; ++b)
    if (ctx.A[p.ALo] == ctx.B[b]) {
      out.push_back({p.ALo, b});
      return;
    }
}

void AppendDiagonal(TPiece p, std::vector<TMatch>& out) {
  for (std::int32_t i = 0; i < p.Rows(); ++i) out.push_back({p.ALo + i, p.BLo + i});
}

bool TryCostWalk(const TAlignContext& ctx, TPiece p, std::int64_t maxCost, std::vector<TMatch>& out) {
  return AppendCostWalk(ctx.A.subspan(p.ALo, p.Rows()), ctx.B.subspan(p.BLo, p.Cols()), maxCost, {p.ALo, p.BLo},
                        out);
}

// The split of a piece whose cost is unknown but at most bound: bands are widened from guess on
// until a band holds a path of cost no more than its own width, which makes it exact. Every scan
// also shows the cost of a real path, a new bound.
TSplitScan ScanUnknownCost(const TAlignContext& ctx, TPiece p, std::int64_t bound, std::int64_t guess, int depth,
                           TLcsScratch& scratch) {
  for (;;) {
    const std::int64_t width = bound <= 4 * guess ? bound : guess;
    const TSplitScan scan = ScanSplit(ctx, p, width, depth, scratch);
    if (scan.Cost <= width) return scan;
    bound = std::min(bound, scan.Cost);
    guess = std::max<std::int64_t>(1, 2 * width);
  }
}

void SolveKnownCost(const TAlignContext& ctx, TPiece p, std::int64_t cost, int depth, TLcsScratch& scratch,
                    std::vector<TMatch>& out);

// Solves both halves of a split piece, the top one on a second thread when that pays.
void SolveHalves(const TAlignContext& ctx, TPiece p, const TSplit& split, int depth, TLcsScratch& scratch,
                 std::vector<TMatch>& out) {
  const std::int32_t mid = p.ALo + static_cast<std::int32_t>(p.Rows() / 2);
  const TPiece top{p.ALo, mid, p.BLo, split.Col};
  const TPiece bottom{mid, p.AHi, split.Col, p.BHi};
  const bool parallel = MayUseThread(ctx, depth, std::min(BandCells(top.Rows(), top.Cols(), split.TopCost),
                                                          BandCells(bottom.Rows(), bottom.Cols(), split.BottomCost)));
  std::vector<TMatch> bottomOut;
  RunBoth(
      parallel, [&] { SolveKnownCost(ctx, top, split.TopCost, depth + 1, scratch, out); },
      [&] {
        TLcsScratch own(parallel ? ctx.IdCount : 0);
        SolveKnownCost(ctx, bottom, split.BottomCost, depth + 1, parallel ? own : scratch, parallel ? bottomOut : out);
      });
  out.insert(out.end(), bottomOut.begin(), bottomOut.end());
}

// Appends the leftmost matches of a piece whose cost is known exactly.
void SolveKnownCost(const TAlignContext& ctx, TPiece p, std::int64_t cost, int depth, TLcsScratch& scratch,
                    std::vector<TMatch>& out) {
  if (p.Rows() == 0 || p.Cols() == 0 || cost == p.Rows() + p.Cols()) return;  // nothing in common
  if (cost == 0) return AppendDiagonal(p, out);
  if (p.Rows() == 1) return AppendFirstEqual(ctx, p, out);
  if (cost <= ctx.Tuning.WalkMaxCost) {
    TryCostWalk(ctx, p, cost, out);  // cannot fail: the cost is within its limit
    return;
  }
  SolveHalves(ctx, p, ScanSplit(ctx, p, cost, depth, scratch).Split, depth, scratch, out);
}

// The lines whose id occurs on both sides, renumbered densely, with their original positions.
struct TReduced {
  std::vector<std::int32_t> A, B, PosA, PosB;
  std::int32_t IdCount = 0;
};

TReduced KeepMatchable(std::span<const std::int32_t> left, std::span<const std::int32_t> right, std::int32_t idCount) {
  std::vector<std::uint8_t> sides(idCount, 0);
  for (std::int32_t id : left) sides[id] |= 1;
  for (std::int32_t id : right) sides[id] |= 2;
  std::vector<std::int32_t> dense(idCount, -1);
  TReduced r;
  const auto keep = [&](std::span<const std::int32_t> ids, std::vector<std::int32_t>& out, std::vector<std::int32_t>& pos) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (sides[ids[i]] != 3) continue;
      if (dense[ids[i]] < 0) dense[ids[i]] = r.IdCount++;
      out.push_back(dense[ids[i]]);
      pos.push_back(static_cast<std::int32_t>(i));
    }
  };
  keep(left, r.A, r.PosA);
  keep(right, r.B, r.PosB);
  return r;
}

std::vector<TMatch> Align(std::span<const std::int32_t> a, std::span<const std::int32_t> b, std::int32_t idCount,
                          const TAlignTuning& tuning) {
  const TAlignContext ctx{a, b, idCount, tuning};
  const TPiece whole{0, static_cast<std::int32_t>(a.size()), 0, static_cast<std::int32_t>(b.size())};
  std::vector<TMatch> out;
  if (whole.Rows() == 0 || whole.Cols() == 0) return out;
  const std::int64_t bound = whole.Rows() + whole.Cols() - 2 * QuickCommonLength(a, b, idCount);
  // A bound far above the walk's limit means the walk would most likely search in vain.
  const bool tryWalk = tuning.WalkMaxCost >= 0 && bound <= 4 * tuning.WalkMaxCost;
  if (tryWalk && TryCostWalk(ctx, whole, std::min(bound, tuning.WalkMaxCost), out)) return out;
  if (whole.Rows() == 1) {
    AppendFirstEqual(ctx, whole, out);
    return out;
  }
  const std::int64_t guess = std::max<std::int64_t>({1, std::abs(whole.Cols() - whole.Rows()), 4 * tuning.WalkMaxCost});
  TLcsScratch scratch(idCount);
  const TSplitScan scan = ScanUnknownCost(ctx, whole, bound, guess, 0, scratch);
  SolveHalves(ctx, whole, scan.Split, 0, scratch, out);
  return out;
}

}  // namespace

std::vector<TMatch> LeftmostLcs(std::span<const std::int32_t> left, std::span<const std::int32_t> right,
                                std::int32_t idCount, const TAlignTuning& tuning) {
  if (!tuning.DiscardUnmatched) return Align(left, right, idCount, tuning);
  const TReduced r = KeepMatchable(left, right, idCount);
  std::vector<TMatch> matches = Align(r.A, r.B, r.IdCount, tuning);
  for (TMatch& match : matches) match = {r.PosA[match.L], r.PosB[match.R]};
  return matches;
}
