#include "diff/referencediff.h"

namespace reference {
namespace {

bool IsTabOrSpace(QChar c) { return c == QChar(0x09) || c == QChar(0x20); }

bool IsBlank(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i)
    if (text[i].unicode() > 0x20) return false;
  return true;
}

// Two rows of n + 1 integers; for reverse the lines are taken from the end.
std::vector<int> LcsRow(const QStringList& a, int aFrom, int aTo, const QStringList& b, int bLo, int bHi,
                        bool reverse) {
  const int n = bHi - bLo;
  std::vector<int> prev(n + 1, 0), cur(n + 1, 0);
  const int count = aTo - aFrom;
  for (int step = 0; step < count; ++step) {
    const int ai = reverse ? aTo - 1 - step : aFrom + step;
    cur[0] = 0;
    for (int k = 0; k < n; ++k) {
      const QString& bk = reverse ? b[bHi - 1 - k] : b[bLo + k];
      if (a[ai] == bk) cur[k + 1] = prev[k] + 1;
      else cur[k + 1] = std::max(cur[k], prev[k + 1]);
    }
    prev = cur;
  }
  return prev;
}

void Align(const QStringList& kl, const QStringList& kr, int aLo, int aHi, int bLo, int bHi,
           std::vector<TMatch>& out) {
  if (aHi == aLo || bHi == bLo) return;
  if (aHi - aLo == 1) {
    for (int b = bLo; b < bHi; ++b)
      if (kl[aLo] == kr[b]) {
        out.push_back({aLo, b});
        return;
      }
    return;
  }
  const int mid = aLo + (aHi - aLo) / 2;
  const int n = bHi - bLo;
  const std::vector<int> f = LcsRow(kl, aLo, mid, kr, bLo, bHi, false);
  const std::vector<int> g = LcsRow(kl, mid, aHi, kr, bLo, bHi, true);
  int bestK = 0, best = -1;
  for (int k = 0; k <= n; ++k)
    if (f[k] + g[n - k] > best) {
      best = f[k] + g[n - k];
      bestK = k;
    }
  const int split = bLo + bestK;
  Align(kl, kr, aLo, mid, bLo, split, out);
  Align(kl, kr, mid, aHi, split, bHi, out);
}

TDiffItem Blank() { return TDiffItem{-1, -1, dkEqual, -1, 0, -1, 0}; }

TDiffItem Raw(int l, int r, TDiffKind kind) {
  TDiffItem item = Blank();
  item.LeftIndex = l;
  item.RightIndex = r;
  item.Kind = kind;
  return item;
}

void ChangeRange(const QString& x, const QString& y, TDiffItem& item) {
  const int lx = int(x.size()), ly = int(y.size());
  int p = 0;
  while (p < lx && p < ly && x[p] == y[p]) ++p;
  int s = 0;
  while (s < lx - p && s < ly - p && x[lx - 1 - s] == y[ly - 1 - s]) ++s;
  item.LeftChangeStart = p;
  item.RightChangeStart = p;
  item.LeftChangeLen = lx - p - s;
  item.RightChangeLen = ly - p - s;
}

TDiffItems RawRows(const std::vector<TMatch>& matches, int nL, int nR) {
  TDiffItems raw;
  int i = 0, j = 0;
  for (const TMatch& m : matches) {
    for (; i < m.L; ++i) raw.append(Raw(i, -1, dkLeftOnly));
    for (; j < m.R; ++j) raw.append(Raw(-1, j, dkRightOnly));
    raw.append(Raw(m.L, m.R, dkEqual));
    i = m.L + 1;
    j = m.R + 1;
  }
  for (; i < nL; ++i) raw.append(Raw(i, -1, dkLeftOnly));
  for (; j < nR; ++j) raw.append(Raw(-1, j, dkRightOnly));
  return raw;
}

void ConvertGap(const TDiffItems& raw, qsizetype from, qsizetype to, const QStringList& left,
                const QStringList& right, TDiffItems& result) {
  QList<int> ls, rs;
  for (qsizetype x = from; x < to; ++x) {
    if (raw[x].Kind == dkLeftOnly) ls.append(raw[x].LeftIndex);
    if (raw[x].Kind == dkRightOnly) rs.append(raw[x].RightIndex);
  }
  const qsizetype m = std::min(ls.size(), rs.size());
  for (qsizetype k = 0; k < m; ++k) {
    TDiffItem item = Raw(ls[k], rs[k], dkDifferent);
    ChangeRange(left[ls[k]], right[rs[k]], item);
    result.append(item);
  }
  for (qsizetype k = m; k < ls.size(); ++k) result.append(Raw(ls[k], -1, dkLeftOnly));
  for (qsizetype k = m; k < rs.size(); ++k) result.append(Raw(-1, rs[k], dkRightOnly));
}

}  // namespace

QString Key(const QString& line, const TDiffOptions& options) {
  QString s = line;
  if (options.IgnoreLeadingWhiteSpace)
    while (!s.isEmpty() && IsTabOrSpace(s[0])) s.remove(0, 1);
  if (options.IgnoreTrailingWhiteSpace)
    while (!s.isEmpty() && IsTabOrSpace(s[s.size() - 1])) s.chop(1);
  if (options.IgnoreAllWhiteSpace) {
    QString t;
    for (QChar c : s)
      if (!IsTabOrSpace(c)) t += c;
    s = t;
  } else if (options.IgnoreWsAmount) {
    QString t;
    for (qsizetype i = 0; i < s.size();) {
      if (IsTabOrSpace(s[i])) {
        t += QChar(0x20);
        while (i < s.size() && IsTabOrSpace(s[i])) ++i;
      } else {
        t += s[i++];
      }
    }
    s = t;
  }
  if (options.IgnoreBlankLines && IsBlank(s)) s = QString();
  if (options.IgnoreCase)
    for (qsizetype i = 0; i < s.size(); ++i) s[i] = s[i].toLower();
  return s;
}

std::vector<TMatch> Matches(const QStringList& leftKeys, const QStringList& rightKeys) {
  std::vector<TMatch> out;
  Align(leftKeys, rightKeys, 0, int(leftKeys.size()), 0, int(rightKeys.size()), out);
  return out;
}

TDiffItems Diff(const QStringList& left, const QStringList& right, const TDiffOptions& options) {
  QStringList kl, kr;
  for (const QString& line : left) kl.append(Key(line, options));
  for (const QString& line : right) kr.append(Key(line, options));
  const TDiffItems raw = RawRows(Matches(kl, kr), int(left.size()), int(right.size()));
  TDiffItems result;
  for (qsizetype x = 0; x < raw.size();) {
    if (raw[x].Kind == dkEqual) {
      result.append(raw[x++]);
      continue;
    }
    qsizetype end = x;
    while (end < raw.size() && raw[end].Kind != dkEqual) ++end;
    ConvertGap(raw, x, end, left, right, result);
    x = end;
  }
  if (options.IgnoreBlankLines)
    for (TDiffItem& item : result) {
      if ((item.LeftIndex >= 0 && IsBlank(left[item.LeftIndex])) ||
          (item.RightIndex >= 0 && IsBlank(right[item.RightIndex]))) {
        item.Kind = dkEqual;
        item.LeftChangeStart = -1;
        item.LeftChangeLen = 0;
        item.RightChangeStart = -1;
        item.RightChangeLen = 0;
      }
    }
  return result;
}

}  // namespace reference
