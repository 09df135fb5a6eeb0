#include "diff/diffrows.h"

#include <algorithm>

namespace {

TDiffItem MakeRow(qint32 leftIndex, qint32 rightIndex, TDiffKind kind) {
  TDiffItem item;
  item.LeftIndex = leftIndex;
  item.RightIndex = rightIndex;
  item.Kind = kind;
  return item;
}

// One gap: left lines [i, iEnd) and right lines [j, jEnd), none of them matched. The k-th removed
// line is paired with the k-th added line; surplus removed lines follow, then surplus added lines.
void AppendGap(qint32 i, qint32 iEnd, qint32 j, qint32 jEnd, const QStringList& left, const QStringList& right,
               TDiffItems& rows) {
  const qint32 paired = std::min(iEnd - i, jEnd - j);
  for (qint32 k = 0; k < paired; ++k) {
    TDiffItem row = MakeRow(i + k, j + k, dkDifferent);
    ComputeChangeRange(left[i + k], right[j + k], row);
    rows.append(row);
  }
  for (qint32 l = i + paired; l < iEnd; ++l) rows.append(MakeRow(l, -1, dkLeftOnly));
  for (qint32 r = j + paired; r < jEnd; ++r) rows.append(MakeRow(-1, r, dkRightOnly));
}

// A row with a blank line on either side counts as equal.
void ApplyBlankLineRule(const QStringList& left, const QStringList& right, TDiffItems& rows) {
  for (TDiffItem& row : rows) {
    const bool blank = (row.LeftIndex >= 0 && IsBlankLine(left[row.LeftIndex])) ||
                       (row.RightIndex >= 0 && IsBlankLine(right[row.RightIndex]));
    if (!blank) continue;
    row.Kind = dkEqual;
    row.ResetChangeRange();
  }
}

// Each gap gives max(p, q) rows for its p removed and q added lines; each match one row.
qsizetype RowCount(const std::vector<TMatch>& matches, qint32 nL, qint32 nR) {
  qsizetype rows = qsizetype(matches.size());
  qint32 i = 0, j = 0;
  for (const TMatch& match : matches) {
    rows += std::max(match.L - i, match.R - j);
    i = match.L + 1;
    j = match.R + 1;
  }
  return rows + std::max(nL - i, nR - j);
}

}  // namespace

void ComputeChangeRange(QStringView x, QStringView y, TDiffItem& item) {
  const qsizetype lx = x.size(), ly = y.size();
  qsizetype p = 0;
  while (p < lx && p < ly && x[p] == y[p]) ++p;
  qsizetype s = 0;
  while (s < lx - p && s < ly - p && x[lx - 1 - s] == y[ly - 1 - s]) ++s;
  item.LeftChangeStart = static_cast<qint32>(p);
  item.RightChangeStart = static_cast<qint32>(p);
  item.LeftChangeLen = static_cast<qint32>(lx - p - s);
  item.RightChangeLen = static_cast<qint32>(ly - p - s);
}

TDiffItems BuildRows(const std::vector<TMatch>& matches, const QStringList& left, const QStringList& right,
                     const TDiffOptions& options) {
  const auto nL = static_cast<qint32>(left.size());
  const auto nR = static_cast<qint32>(right.size());
  TDiffItems rows;
  rows.reserve(RowCount(matches, nL, nR));
  qint32 i = 0, j = 0;
  for (const TMatch& match : matches) {
    AppendGap(i, match.L, j, match.R, left, right, rows);
    rows.append(MakeRow(match.L, match.R, dkEqual));
    i = match.L + 1;
    j = match.R + 1;
  }
  AppendGap(i, nL, j, nR, left, right, rows);
  if (options.IgnoreBlankLines) ApplyBlankLineRule(left, right, rows);
  return rows;
}
