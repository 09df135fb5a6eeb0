#pragma once
// The diff engine: aligns two line lists into rows of four kinds under six comparison options.
// Pure functions over plain records; no global state, safe to call from any thread.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

enum TDiffKind : std::uint8_t {
  dkEqual = 0,      // equal under the options (or made equal by the blank-line rule)
  dkLeftOnly = 1,   // a line present on the left side only
  dkRightOnly = 2,  // a line present on the right side only
  dkDifferent = 3,  // a left and a right line opposite each other that are not equal
};

// One aligned row. Indexes are 0-based, -1 marks a missing side; change offsets count UTF-16 code units.
struct TDiffItem {
  qint32 LeftIndex = -1;
  qint32 RightIndex = -1;
  TDiffKind Kind = dkEqual;
  qint32 LeftChangeStart = -1;
  qint32 LeftChangeLen = 0;
  qint32 RightChangeStart = -1;
  qint32 RightChangeLen = 0;

  void ResetChangeRange() { LeftChangeStart = -1; LeftChangeLen = 0; RightChangeStart = -1; RightChangeLen = 0; }
  friend bool operator==(const TDiffItem&, const TDiffItem&) = default;
};

using TDiffItems = QList<TDiffItem>;

// The six comparison options, in this order; all false is an exact comparison.
struct TDiffOptions {
  bool IgnoreCase = false;
  bool IgnoreAllWhiteSpace = false;
  bool IgnoreWsAmount = false;
  bool IgnoreLeadingWhiteSpace = false;
  bool IgnoreTrailingWhiteSpace = false;
  bool IgnoreBlankLines = false;
  friend bool operator==(const TDiffOptions&, const TDiffOptions&) = default;
};

// A left and a right line index whose keys are equal and which the alignment paired.
struct TMatch {
  qint32 L = 0;
  qint32 R = 0;
  friend bool operator==(const TMatch&, const TMatch&) = default;
};

// The comparison key of one line: two lines are equal under the options when their keys are equal.
QString NormalizeLine(const QString& line, const TDiffOptions& options);

// True when the line holds only characters up to U+0020 (an empty line included).
bool IsBlankLine(QStringView line);

// Aligns the two line lists. The result is a complete alignment of both lists. Large inputs are
// spread over a few threads that the call starts and joins itself (never a shared pool).
TDiffItems ComputeDiff(const QStringList& left, const QStringList& right, TDiffOptions options);
