#pragma once
// Changed-word highlight of a changed row: each side's line is cut into word and non-word tokens,
// the two token lists are matched by a longest common subsequence, and the tokens of the painted
// side that found no partner become highlighted ranges. Offsets count UTF-16 code units.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

// A highlighted range inside one line.
struct THighlightRange {
  qint32 Start = 0;
  qint32 Len = 0;
  friend bool operator==(const THighlightRange&, const THighlightRange&) = default;
};

using THighlightRanges = QList<THighlightRange>;

// Above this many match-table cells ((tokens of this line + 1) x (tokens of the other line + 1))
// the lines are not matched: the whole line is marked, so a very long line never stalls a paint.
inline constexpr qint64 MaxHighlightTableCells = 4'000'000;

// The tokens of a line as three parallel lists; concatenated in order they give the line back.
struct TWordTokens {
  QStringList Texts;
  QList<qint32> Starts;
  QList<qint32> Lengths;
};

// Match flags of both token lists, one per token.
struct TTokenMatches {
  QList<bool> ThisMatched;
  QList<bool> OtherMatched;
};

// Word characters: 0-9, A-Z, a-z, the underscore and every code unit of 0x80 or more.
bool IsWordChar(QChar c);

TWordTokens SplitWordTokens(QStringView line);

// Longest-common-subsequence matching; on a tie the walk-back gives up a token of this line first.
// Above MaxHighlightTableCells nothing is matched.
TTokenMatches MatchTokensLcs(const QStringList& thisTokens, const QStringList& otherTokens, bool ignoreCase);

// The normalised ranges of this line's tokens that the other line does not have.
THighlightRanges ComputeHighlightRanges(QStringView thisLine, QStringView otherLine, bool ignoreCase);

// Drops empty ranges, sorts by Start (stable) and merges ranges that overlap or touch.
void NormalizeHighlightRanges(THighlightRanges& ranges);

// The part [Start, End) of a range inside the segment [segmentStart, segmentEnd); nullopt when empty.
struct TClippedRange {
  qint32 Start = 0;
  qint32 End = 0;
  friend bool operator==(const TClippedRange&, const TClippedRange&) = default;
};
std::optional<TClippedRange> ClipRangeToSegment(const THighlightRange& range, qint32 segmentStart, qint32 segmentEnd);

// How many code units of a text fit into a width in pixels; negative when the measurement failed.
using TFitCounter = std::function<int(QStringView text, int width)>;

// The number of code units of the next painted line of `text` from `start` on, in a box `width`
// pixels wide; nullopt when no line is left or the measurement failed. A line takes at least one
// character; a cut that would split a word moves back to just after the nearest blank.
std::optional<int> FitLineLength(QStringView text, int start, int width, const TFitCounter& fitCount);
