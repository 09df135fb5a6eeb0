#include "diff/linekeys.h"

#include <QHash>

#include <algorithm>
#include <future>
#include <thread>

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

bool HasWhiteSpace(QStringView text) { return std::any_of(text.begin(), text.end(), IsWhiteSpace); }

// True when collapsing would change nothing: no TAB and no two SPACEs in a row.
bool IsCollapsed(QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'\t') return false;
    if (text[i] == u' ' && i + 1 < text.size() && text[i + 1] == u' ') return false;
  }
  return true;
}

QChar LowerCodeUnit(QChar c) {
  if (c.unicode() < 0x80) return c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() + 0x20) : c;
  return c.toLower();
}

bool IsLower(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return LowerCodeUnit(c) == c; });
}

// Rewritten keys, in chunks that never move, so a key's view stays valid while more are added.
class TKeyBuffer {
public:
  // Room for at least size code units, at the end of the current chunk.
  QChar* Reserve(qsizetype size) {
    if (FChunks.empty() || FUsed + size > qsizetype(FChunks.back().size())) {
      FChunks.emplace_back(std::max(size, kChunkSize));
      FUsed = 0;
    }
    return FChunks.back().data() + FUsed;
  }
  void Commit(qsizetype size) { FUsed += size; }

private:
  static constexpr qsizetype kChunkSize = 1 << 16;
  std::vector<std::vector<QChar>> FChunks;
  qsizetype FUsed = 0;
};

// Writes text with every TAB and SPACE removed, or with every run of them made one SPACE.
qsizetype WriteSpaced(QStringView text, bool removeAll, QChar* out) {
  QChar* const start = out;
  bool inRun = false;
  for (QChar c : text) {
    const bool space = IsWhiteSpace(c);
    if (!space) *out++ = c;
    else if (!inRun && !removeAll) *out++ = u' ';
    inRun = space;
  }
  return out - start;
}

// The key rule. The key is a stretch of the line itself unless a step really rewrites the text;
// only then is it written into the buffer.
QStringView KeyOf(QStringView line, const TDiffOptions& options, TKeyBuffer& buffer) {
  QStringView text = line;
  if (options.IgnoreLeadingWhiteSpace) text = TrimLeading(text);
  if (options.IgnoreTrailingWhiteSpace) text = TrimTrailing(text);
  const bool respace = options.IgnoreAllWhiteSpace ? HasWhiteSpace(text)
                                                   : options.IgnoreWsAmount && !IsCollapsed(text);
  if (!respace) {
    if (options.IgnoreBlankLines && IsBlankLine(text)) return {};
    if (!options.IgnoreCase || IsLower(text)) return text;
  }
  QChar* const out = buffer.Reserve(text.size());
  const qsizetype size = respace ? WriteSpaced(text, options.IgnoreAllWhiteSpace, out)
                                 : std::copy(text.begin(), text.end(), out) - out;
  if (options.IgnoreBlankLines && IsBlankLine(QStringView(out, size))) return {};
  if (options.IgnoreCase) std::transform(out, out + size, out, LowerCodeUnit);
  buffer.Commit(size);
  return {out, size};
}

// Open addressing over the keys seen so far: a flat table is far cheaper than a map of nodes when
// a few hundred thousand lines are numbered. A slot keeps part of the hash, so a probe rarely has
// to look at a key that is not the one sought.
struct TSlot {
  std::uint32_t Tag = 0;
  std::int32_t Id = -1;  // -1: free
};

struct TKeyTable {
  std::vector<TSlot> Slots;
  std::size_t Mask = 0;
  std::vector<QStringView> Keys;  // by id
};

TKeyTable MakeKeyTable(qsizetype keyCount) {
  std::size_t size = 16;
  while (size < 3 * static_cast<std::size_t>(keyCount) / 2) size *= 2;  // at most 2/3 full
  TKeyTable table;
  table.Slots.resize(size);
  table.Mask = size - 1;
  table.Keys.reserve(keyCount);
  return table;
}

std::int32_t Intern(TKeyTable& table, QStringView key, std::size_t hash) {
  const auto tag = static_cast<std::uint32_t>(hash >> 32) | 1u;
  for (std::size_t slot = hash & table.Mask;; slot = (slot + 1) & table.Mask) {
    TSlot& s = table.Slots[slot];
    if (s.Id < 0) {
      s = {tag, static_cast<std::int32_t>(table.Keys.size())};
      table.Keys.push_back(key);
      return s.Id;
    }
    if (s.Tag == tag && table.Keys[s.Id] == key) return s.Id;
  }
}

// How many keys ahead the slot of a key is fetched into the cache.
constexpr qsizetype kPrefetchDistance = 16;

}  // namespace

bool IsBlankLine(QStringView line) {
  for (QChar c : line)
    if (c.unicode() > 0x20) return false;
  return true;
}

QString NormalizeLine(const QString& line, const TDiffOptions& options) {
  TKeyBuffer buffer;
  const QStringView key = KeyOf(line, options, buffer);
  if (key.data() == line.constData() && key.size() == line.size()) return line;  // shares the line's data
  return key.toString();
}

namespace {

// Keys and hashes of one side, its rewritten keys kept in that side's buffer.
struct TSideKeys {
  TKeyBuffer Buffer;
  std::vector<QStringView> Keys;
  std::vector<std::size_t> Hashes;
};

void ComputeSideKeys(const QStringList& lines, const TDiffOptions& options, TSideKeys& side) {
  side.Keys.reserve(lines.size());
  side.Hashes.reserve(lines.size());
  for (const QString& line : lines) {
    side.Keys.push_back(KeyOf(line, options, side.Buffer));
    side.Hashes.push_back(qHash(side.Keys.back(), 0));
  }
}

// Below this many lines a side's keys are not worth a second thread.
constexpr qsizetype kParallelKeyLines = 20000;

void NumberSide(TKeyTable& table, const TSideKeys& side, std::vector<std::int32_t>& ids) {
  const auto count = qsizetype(side.Keys.size());
  ids.resize(count);
  for (qsizetype k = 0; k < count; ++k) {
    if (k + kPrefetchDistance < count)
      __builtin_prefetch(&table.Slots[side.Hashes[k + kPrefetchDistance] & table.Mask]);
    ids[k] = Intern(table, side.Keys[k], side.Hashes[k]);
  }
}

}  // namespace

TLineIds InternKeys(const QStringList& left, const QStringList& right, const TDiffOptions& options) {
  // First every key and its hash, the two sides at once when they are large, then the numbering,
  // so that the table's slots can be fetched ahead of use: the numbering is bound by memory
  // latency, not by arithmetic.
  TSideKeys leftKeys, rightKeys;
  const bool parallel = std::min(left.size(), right.size()) >= kParallelKeyLines && std::thread::hardware_concurrency() > 1;
  if (parallel) {
    auto pending = std::async(std::launch::async, [&] { ComputeSideKeys(right, options, rightKeys); });
    ComputeSideKeys(left, options, leftKeys);
    pending.get();
  } else {
    ComputeSideKeys(left, options, leftKeys);
    ComputeSideKeys(right, options, rightKeys);
  }
  TKeyTable table = MakeKeyTable(left.size() + right.size());
  TLineIds result;
  NumberSide(table, leftKeys, result.Left);
  NumberSide(table, rightKeys, result.Right);
  result.DistinctCount = static_cast<std::int32_t>(table.Keys.size());
  return result;
}
