#include "diff/linekeys.h"

#include <QHash>

namespace {

// Only TAB and SPACE count as white space for the options; other spaces are ordinary characters.
bool IsWhiteSpace(QChar c) { return c == u'\t' || c == u' '; }

QStringView TrimLeading(QStringView text) {
  qsizetype start = 0;
  while (start < text.size() && IsWhiteSpace(text[start])) ++start;
  return text.sliced(start);
}

QStringView TrimTrailing(QStringView text) {
  qsizetype end = text.size();
  while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
  return text.first(end);
}

QString RemoveWhiteSpace(QStringView text) {
  QString result;
  result.reserve(text.size());
  for (QChar c : text)
    if (!IsWhiteSpace(c)) result.append(c);
  return result;
}

// Every run of TAB and SPACE, at the ends too, becomes one SPACE.
QString CollapseWhiteSpace(QStringView text) {
  QString result;
  result.reserve(text.size());
  bool inRun = false;
  for (QChar c : text) {
    if (IsWhiteSpace(c)) {
      if (!inRun) result.append(u' ');
      inRun = true;
    } else {
      result.append(c);
      inRun = false;
    }
  }
  return result;
}

// Code unit by code unit, so the key keeps the line's length (a lone surrogate stays as it is).
void LowerInPlace(QString& text) {
  for (QChar& c : text) c = c.toLower();
}

}  // namespace

bool IsBlankLine(QStringView line) {
  for (QChar c : line)
    if (c.unicode() > 0x20) return false;
  return true;
}

QString NormalizeLine(const QString& line, const TDiffOptions& options) {
  QStringView text(line);
  if (options.IgnoreLeadingWhiteSpace) text = TrimLeading(text);
  if (options.IgnoreTrailingWhiteSpace) text = TrimTrailing(text);
  QString key;
  if (options.IgnoreAllWhiteSpace) key = RemoveWhiteSpace(text);
  else if (options.IgnoreWsAmount) key = CollapseWhiteSpace(text);
  else key = text.size() == line.size() ? line : text.toString();  // an untouched line shares its data
  if (options.IgnoreBlankLines && IsBlankLine(key)) key = QString();
  if (options.IgnoreCase) LowerInPlace(key);
  return key;
}

TLineIds InternKeys(const QStringList& left, const QStringList& right, const TDiffOptions& options) {
  TLineIds ids;
  // Holds id + 1, so that the 0 of a fresh slot means "not seen yet".
  QHash<QString, std::int32_t> idOfKey;
  idOfKey.reserve(left.size() + right.size());
  const auto intern = [&](const QStringList& lines, std::vector<std::int32_t>& out) {
    out.reserve(lines.size());
    for (const QString& line : lines) {
      std::int32_t& slot = idOfKey[NormalizeLine(line, options)];
      if (slot == 0) slot = ++ids.DistinctCount;
      out.push_back(slot - 1);
    }
  };
  intern(left, ids.Left);
  intern(right, ids.Right);
  return ids;
}
