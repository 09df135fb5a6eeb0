#include "view/highlightranges.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <vector>

bool IsWordChar(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'_' ||
         u >= 0x80;
}

TWordTokens SplitWordTokens(QStringView line) {
  TWordTokens tokens;
  qsizetype p = 0;
  while (p < line.size()) {
    const bool word = IsWordChar(line[p]);
    qsizetype e = p + 1;
    while (e < line.size() && IsWordChar(line[e]) == word) ++e;
    tokens.Texts.append(line.mid(p, e - p).toString());
    tokens.Starts.append(qint32(p));
    tokens.Lengths.append(qint32(e - p));
    p = e;
  }
  return tokens;
}

namespace {

// Only a to z are folded; every other code unit must be identical.
QString FoldAsciiCase(const QString& s) {
  QString folded = s;
  for (QChar& c : folded)
    if (c.unicode() >= u'a' && c.unicode() <= u'z') c = QChar(char16_t(c.unicode() - (u'a' - u'A')));
  return folded;
}

// Equal tokens get equal ids, so the table compares integers instead of strings.
struct TTokenIds {
  QList<qint32> This;
  QList<qint32> Other;
};

TTokenIds NumberTokens(const QStringList& thisTokens, const QStringList& otherTokens, bool ignoreCase) {
  QHash<QString, qint32> ids;
  auto number = [&](const QStringList& tokens) {
    QList<qint32> result;
    result.reserve(tokens.size());
    for (const QString& t : tokens) {
      const QString key = ignoreCase ? FoldAsciiCase(t) : t;
      auto found = ids.find(key);
      if (found == ids.end()) found = ids.insert(key, qint32(ids.size()));
      result.append(found.value());
    }
    return result;
  };
  TTokenIds numbered;
  numbered.This = number(thisTokens);
  numbered.Other = number(otherTokens);
  return numbered;
}

// The walk-back's step at each cell, decided while the counts are filled in. Two rows of counts
// are enough for that, so the table itself holds one byte per cell.
enum TWalkStep : std::uint8_t { wsMatch, wsOther, wsThis };

std::vector<std::uint8_t> FillWalkSteps(const QList<qint32>& a, const QList<qint32>& b) {
  const qsizetype nA = a.size(), nB = b.size();
  std::vector<std::uint8_t> steps(size_t(nA) * size_t(nB));
  std::vector<qint32> previous(size_t(nB) + 1, 0), current(size_t(nB) + 1, 0);
  for (qsizetype i = 1; i <= nA; ++i) {
    current[0] = 0;
    std::uint8_t* row = steps.data() + size_t(i - 1) * size_t(nB);
    for (qsizetype j = 1; j <= nB; ++j) {
      if (a[i - 1] == b[j - 1]) {
        current[j] = previous[j - 1] + 1;
        row[j - 1] = wsMatch;
      } else if (previous[j] < current[j - 1]) {
        current[j] = current[j - 1];
        row[j - 1] = wsOther;
      } else {
        current[j] = previous[j];
        row[j - 1] = wsThis;  // also on a tie: a token of this line is given up first
      }
    }
    std::swap(previous, current);
  }
  return steps;
}

}  // namespace

TTokenMatches MatchTokensLcs(const QStringList& thisTokens, const QStringList& otherTokens, bool ignoreCase) {
  const qsizetype nA = thisTokens.size(), nB = otherTokens.size();
  TTokenMatches matches;
  matches.ThisMatched.fill(false, nA);
  matches.OtherMatched.fill(false, nB);
  if (nA == 0 || nB == 0 || qint64(nA + 1) * qint64(nB + 1) > MaxHighlightTableCells) return matches;

  const TTokenIds ids = NumberTokens(thisTokens, otherTokens, ignoreCase);
  const std::vector<std::uint8_t> steps = FillWalkSteps(ids.This, ids.Other);
  qsizetype i = nA, j = nB;
  while (i > 0 && j > 0) {
    switch (steps[size_t(i - 1) * size_t(nB) + size_t(j - 1)]) {
      case wsMatch:
        matches.ThisMatched[--i] = true;
        matches.OtherMatched[--j] = true;
        break;
      case wsOther: --j; break;
      default: --i; break;
    }
  }
  return matches;
}

THighlightRanges ComputeHighlightRanges(QStringView thisLine, QStringView otherLine, bool ignoreCase) {
  const TWordTokens mine = SplitWordTokens(thisLine);
  const TWordTokens theirs = SplitWordTokens(otherLine);
  const TTokenMatches matches = MatchTokensLcs(mine.Texts, theirs.Texts, ignoreCase);
  THighlightRanges ranges;
  for (qsizetype k = 0; k < mine.Texts.size(); ++k)
    if (!matches.ThisMatched[k]) ranges.append({mine.Starts[k], mine.Lengths[k]});
  NormalizeHighlightRanges(ranges);
  return ranges;
}

void NormalizeHighlightRanges(THighlightRanges& ranges) {
  ranges.removeIf([](const THighlightRange& r) { return r.Len <= 0; });
  if (ranges.size() < 2) return;
  for (qsizetype k = 1; k < ranges.size(); ++k) {  // stable insertion sort by Start
    const THighlightRange moving = ranges[k];
    qsizetype m = k;
    for (; m > 0 && ranges[m - 1].Start > moving.Start; --m) ranges[m] = ranges[m - 1];
    ranges[m] = moving;
  }
  THighlightRanges merged;
  merged.append(ranges.first());
  for (qsizetype k = 1; k < ranges.size(); ++k) {
    THighlightRange& current = merged.last();
    const qint64 currentEnd = qint64(current.Start) + current.Len;
    if (ranges[k].Start <= currentEnd) {
      const qint64 end = std::max(currentEnd, qint64(ranges[k].Start) + ranges[k].Len);
      current.Len = qint32(std::min<qint64>(end - current.Start, std::numeric_limits<qint32>::max()));
    } else {
      merged.append(ranges[k]);
    }
  }
  ranges = merged;
}

std::optional<TClippedRange> ClipRangeToSegment(const THighlightRange& range, qint32 segmentStart,
                                                qint32 segmentEnd) {
  const qint64 a = std::max<qint64>(range.Start, segmentStart);
  const qint64 b = std::min<qint64>(qint64(range.Start) + range.Len, segmentEnd);
  if (a >= b) return std::nullopt;
  return TClippedRange{qint32(a), qint32(b)};
}

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// The smallest line: one character, which is both halves of a surrogate pair.
int OneCharacter(QStringView rest) {
  return rest.size() >= 2 && rest[0].isHighSurrogate() && rest[1].isLowSurrogate() ? 2 : 1;
}

}  // namespace

std::optional<int> FitLineLength(QStringView text, int start, int width, const TFitCounter& fitCount) {
  if (start < 0 || start >= text.size()) return std::nullopt;
  const QStringView rest = text.mid(start);
  const int fit = fitCount(rest, width);
  if (fit < 0) return std::nullopt;
  if (fit == 0) return OneCharacter(rest);
  if (fit >= rest.size()) return int(rest.size());
  if (!IsBlank(rest[fit - 1]) && !IsBlank(rest[fit])) {  // the cut would split a word
    for (int k = fit - 2; k >= 0; --k)
      if (IsBlank(rest[k])) return k + 1;  // the blank stays at the end of this line
  }
  return fit;
}
