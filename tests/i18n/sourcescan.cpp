#include "i18n/sourcescan.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <optional>

namespace {

struct TLiteral {
  qsizetype Begin;  // from the prefix (u8, R, ...) to after the closing quote
  qsizetype End;
  QString Value;
};

struct TRange {
  qsizetype Begin;
  qsizetype End;
};

// A function or a named lambda with a body: its parameters may carry texts to Translate.
struct TDefinition {
  QString Name;
  bool Qualified;  // Class::Name: called from other files too
  QStringList Params;
  qsizetype BodyBegin;
  qsizetype BodyEnd;
};

struct TSource {
  QString Path;
  QString Text;
  QString Code;  // the text with comments and literals blanked out, same length
  QList<TLiteral> Literals;
  QList<TDefinition> Definitions;
  QList<qsizetype> LineStarts;

  int LineOf(qsizetype pos) const {
    return int(std::upper_bound(LineStarts.begin(), LineStarts.end(), pos) - LineStarts.begin());
  }
  QString Where(qsizetype pos) const { return Path + QLatin1Char(':') + QString::number(LineOf(pos)); }
};

const QSet<QString>& Keywords() {
  static const QSet<QString> words{
      "if", "for", "while", "switch", "catch", "return", "throw", "else", "case", "new", "delete",
      "do", "sizeof", "decltype", "alignof", "static_assert", "co_return", "co_yield", "co_await",
      "const", "auto", "true", "false", "nullptr", "this", "not", "and", "or", "operator"};
  return words;
}

bool IsIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

int HexValue(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - '0';
  if (c >= u'a' && c <= u'f') return c.unicode() - 'a' + 10;
  if (c >= u'A' && c <= u'F') return c.unicode() - 'A' + 10;
  return -1;
}

// Reads up to `limit` digits of the base at i; advances i past them.
uint ReadDigits(QStringView body, qsizetype& i, int base, int limit) {
  uint value = 0;
  for (int n = 0; n < limit && i < body.size(); ++n, ++i) {
    const int digit = HexValue(body[i]);
    if (digit < 0 || digit >= base) break;
    value = value * base + uint(digit);
  }
  return value;
}

void AppendCodePoint(QString& out, uint code) { out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1); }

QString Unescape(QStringView body) {
  QString out;
  for (qsizetype i = 0; i < body.size();) {
    if (body[i] != u'\\' || i + 1 == body.size()) {
      out += body[i++];
      continue;
    }
    const QChar e = body[++i];
    switch (e.unicode()) {
      case 'n': out += u'\n'; ++i; break;
      case 't': out += u'\t'; ++i; break;
      case 'r': out += u'\r'; ++i; break;
      case 'x': ++i; AppendCodePoint(out, ReadDigits(body, i, 16, 8)); break;
      case 'u': ++i; AppendCodePoint(out, ReadDigits(body, i, 16, 4)); break;
      case 'U': ++i; AppendCodePoint(out, ReadDigits(body, i, 16, 8)); break;
      default:
        if (e >= u'0' && e <= u'7') AppendCodePoint(out, ReadDigits(body, i, 8, 3));
        else { out += e; ++i; }  // \" \\ \' \?
    }
  }
  return out;
}

bool IsLiteralPrefix(QStringView prefix) {
  static const QStringList prefixes{"", "u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"};
  return prefixes.contains(prefix.toString());
}

// Index after the end of the quoted run starting at the quote at i (escapes skipped).
qsizetype QuotedEnd(const QString& text, qsizetype i) {
  const QChar quote = text[i];
  qsizetype j = i + 1;
  while (j < text.size() && text[j] != quote && text[j] != u'\n') j += text[j] == u'\\' ? 2 : 1;
  return std::min(j + 1, text.size());
}

class TTokeniser {
public:
  explicit TTokeniser(TSource& source) : S(source) { S.Code = S.Text; }

  void Run() {
    const QString& t = S.Text;
    qsizetype i = 0;
    while (i < t.size()) {
      const QChar c = t[i];
      const QChar next = i + 1 < t.size() ? t[i + 1] : QChar();
      if (c == u'/' && next == u'/') i = Blank(i, t.indexOf(u'\n', i));
      else if (c == u'/' && next == u'*') i = Blank(i, EndOf(t.indexOf(QStringLiteral("*/"), i + 2), 2));
      else if (c == u'\'' && !(i > 0 && t[i - 1].isDigit())) i = Blank(i, QuotedEnd(t, i));
      else if (c == u'"') i = Literal(i);
      else ++i;
    }
    MergeAdjacent();
  }

private:
  qsizetype EndOf(qsizetype found, qsizetype length) const { return found < 0 ? S.Text.size() : found + length; }

  qsizetype Blank(qsizetype from, qsizetype to) {
    if (to < 0) to = S.Text.size();
    for (qsizetype k = from; k < to; ++k)
      if (S.Code[k] != u'\n') S.Code[k] = u' ';
    return to;
  }

  qsizetype Literal(qsizetype quote) {
    const QString& t = S.Text;
    qsizetype begin = quote;
    while (begin > 0 && IsIdentChar(t[begin - 1])) --begin;
    const QStringView prefix = QStringView(t).mid(begin, quote - begin);
    if (!IsLiteralPrefix(prefix)) begin = quote;
    qsizetype end;
    QString value;
    if (IsLiteralPrefix(prefix) && prefix.endsWith(u'R')) {
      const qsizetype open = t.indexOf(u'(', quote);
      const QString delimiter = t.mid(quote + 1, open - quote - 1);
      const qsizetype close = t.indexOf(QLatin1Char(')') + delimiter + QLatin1Char('"'), open);
      end = EndOf(close, delimiter.size() + 2);
      value = t.mid(open + 1, (close < 0 ? t.size() : close) - open - 1);
    } else {
      end = QuotedEnd(t, quote);
      value = Unescape(QStringView(t).mid(quote + 1, end - quote - 2));
    }
    Blank(begin, end);
    // The blanked literal keeps a quote at each end, so it never reads as white space.
    S.Code[begin] = u'"';
    S.Code[end - 1] = u'"';
    S.Literals.append({begin, end, value});
    return end;
  }

  // "a" "b" is one literal.
  void MergeAdjacent() {
    QList<TLiteral> merged;
    for (const TLiteral& literal : S.Literals) {
      if (!merged.isEmpty() &&
          QStringView(S.Code).mid(merged.last().End, literal.Begin - merged.last().End).trimmed().isEmpty()) {
        merged.last().End = literal.End;
        merged.last().Value += literal.Value;
      } else {
        merged.append(literal);
      }
    }
    S.Literals = merged;
  }

  TSource& S;
};

bool IsOpening(QChar c) { return c == u'(' || c == u'[' || c == u'{'; }
bool IsClosing(QChar c) { return c == u')' || c == u']' || c == u'}'; }

// Index of the bracket that closes the one at `open` (or the end of the code).
qsizetype MatchingClose(const QString& code, qsizetype open) {
  int depth = 0;
  for (qsizetype i = open; i < code.size(); ++i) {
    if (IsOpening(code[i])) ++depth;
    else if (IsClosing(code[i]) && --depth == 0) return i;
  }
  return code.size();
}

// From `begin` up to the first of the stop characters outside brackets, or an unmatched close.
qsizetype ScanTo(const QString& code, qsizetype begin, QStringView stops) {
  int depth = 0;
  for (qsizetype i = begin; i < code.size(); ++i) {
    const QChar c = code[i];
    if (depth == 0 && (stops.contains(c) || IsClosing(c))) return i;
    if (IsOpening(c)) ++depth;
    else if (IsClosing(c)) --depth;
  }
  return code.size();
}

// The comma-separated parts between the brackets at open and close.
QList<TRange> SplitArguments(const QString& code, qsizetype open, qsizetype close) {
  QList<TRange> parts;
  qsizetype begin = open + 1;
  while (begin <= close) {
    const qsizetype end = std::min(ScanTo(code, begin, u","), close);
    parts.append({begin, end});
    begin = end + 1;
  }
  if (parts.size() == 1 && QStringView(code).mid(open + 1, close - open - 1).trimmed().isEmpty()) parts.clear();
  return parts;
}

QString LastIdentifier(QStringView declaration) {
  static const QRegularExpression last(QStringLiteral(R"(([A-Za-z_]\w*)\s*(\[[^\]]*\]\s*)?$)"));
  const QRegularExpressionMatch match = last.match(declaration.trimmed().toString());
  return match.hasMatch() ? match.captured(1) : QString();
}

QStringList ParameterNames(const QString& code, qsizetype open, qsizetype close) {
  QStringList names;
  for (const TRange& part : SplitArguments(code, open, close)) {
    const qsizetype defaultValue = std::min(ScanTo(code, part.Begin, u"="), part.End);
    names.append(LastIdentifier(QStringView(code).mid(part.Begin, defaultValue - part.Begin)));
  }
  return names;
}

// After the parameter list: the opening brace of a body, or -1 when this is no definition.
qsizetype BodyAfter(const QString& code, qsizetype close) {
  static const QRegularExpression qualifiers(
      QStringLiteral(R"(\G\s*(?:(?:const|override|final|noexcept|mutable|&)\s*|->\s*[\w:<>*& ]+?\s*)*\{)"));
  const QRegularExpressionMatch match = qualifiers.match(code, close + 1);
  return match.hasMatch() ? match.capturedEnd() - 1 : -1;
}

void FindDefinitions(TSource& s) {
  static const QRegularExpression function(
      QStringLiteral(R"((?<![\w:~])((?:[A-Za-z_]\w*\s*::\s*)*~?([A-Za-z_]\w*))\s*\()"));
  static const QRegularExpression lambda(QStringLiteral(R"((?<!\w)([A-Za-z_]\w*)\s*=\s*\[[^\[\]]*\]\s*\()"));
  const auto add = [&s](const QString& name, bool qualified, qsizetype open) {
    const qsizetype close = MatchingClose(s.Code, open);
    const qsizetype body = BodyAfter(s.Code, close);
    if (body < 0 || Keywords().contains(name)) return;
    s.Definitions.append({name, qualified, ParameterNames(s.Code, open, close), body, MatchingClose(s.Code, body)});
  };
  for (const QRegularExpressionMatch& m : function.globalMatch(s.Code))
    add(m.captured(2), m.captured(1).contains(QLatin1String("::")), m.capturedEnd() - 1);
  for (const QRegularExpressionMatch& m : lambda.globalMatch(s.Code)) add(m.captured(1), false, m.capturedEnd() - 1);
}

TSource Prepare(const QString& path, const QString& text) {
  TSource s{path, text, {}, {}, {}, {0}};
  for (qsizetype i = 0; i < text.size(); ++i)
    if (text[i] == u'\n') s.LineStarts.append(i + 1);
  TTokeniser(s).Run();
  FindDefinitions(s);
  return s;
}

qsizetype SkipSpacesBack(const QString& code, qsizetype i) {
  while (i > 0 && code[i - 1].isSpace()) --i;
  return i;
}

// Whether the name at `at` is called here, rather than declared, defined or called on an object.
bool IsPlainCall(const QString& code, qsizetype at) {
  qsizetype i = SkipSpacesBack(code, at);
  if (i > 0 && code[i - 1] == u'.') return false;
  if (i > 1 && code[i - 1] == u'>' && code[i - 2] == u'-') return false;
  // Class::Name( — step over the qualification.
  while (i > 1 && code[i - 1] == u':' && code[i - 2] == u':') {
    i = SkipSpacesBack(code, i - 2);
    while (i > 0 && IsIdentChar(code[i - 1])) --i;
    i = SkipSpacesBack(code, i);
  }
  if (i == 0) return true;
  const QChar before = code[i - 1];
  if (IsIdentChar(before)) {
    qsizetype w = i;
    while (w > 0 && IsIdentChar(code[w - 1])) --w;
    return Keywords().contains(code.mid(w, i - w));  // "return Name(" calls, "QString Name(" declares
  }
  // "QString& Name(", "T* Name(", "std::function<void()> Name(" declare.
  if ((before == u'&' || before == u'*' || before == u'>') && i > 1) {
    const QChar earlier = code[i - 2];
    return !(IsIdentChar(earlier) || earlier == u'>' || earlier == u')');
  }
  return true;
}

class TScanner {
public:
  explicit TScanner(const QList<std::pair<QString, QString>>& files) {
    for (const auto& [path, text] : files) FSources.append(Prepare(path, text));
  }

  TScanResult Run(const QString& entry) {
    QList<int> all(FSources.size());
    std::iota(all.begin(), all.end(), 0);
    ResolveCalls(entry, 0, all);
    return FResult;
  }

private:
  void ResolveCalls(const QString& name, int argument, const QList<int>& scope) {
    QString key = name + QLatin1Char('#') + QString::number(argument);
    for (int index : scope) key += QLatin1Char('#') + QString::number(index);
    if (FVisited.contains(key)) return;
    FVisited.insert(key);
    const QRegularExpression call(QStringLiteral("(?<!\\w)") + QRegularExpression::escape(name) +
                                  QStringLiteral("\\s*\\("));
    for (int index : scope) {
      const TSource& s = FSources[index];
      for (const QRegularExpressionMatch& m : call.globalMatch(s.Code)) {
        if (!IsPlainCall(s.Code, m.capturedStart())) continue;
        const qsizetype open = m.capturedEnd() - 1;
        const QList<TRange> arguments = SplitArguments(s.Code, open, MatchingClose(s.Code, open));
        if (argument >= arguments.size()) continue;
        const TRange& a = arguments[argument];
        if (!ResolveRange(index, a, 0))
          FResult.Unresolved.append(s.Where(a.Begin) + QStringLiteral(": ") + name + QLatin1Char('(') +
                                    s.Text.mid(a.Begin, a.End - a.Begin).simplified() + QLatin1Char(')'));
      }
    }
  }

  // The literals of the range, or else what its variables stand for; false when neither is found.
  bool ResolveRange(int index, const TRange& range, int depth) {
    const TSource& s = FSources[index];
    bool found = false;
    for (const TLiteral& literal : s.Literals) {
      if (literal.Begin < range.Begin || literal.End > range.End) continue;
      AddText(literal.Value, s.Where(literal.Begin));
      found = true;
    }
    if (found || depth > 8) return found;
    static const QRegularExpression identifier(
        QStringLiteral(R"((?<![\w.:])(?<!->)([A-Za-z_]\w*)(?!\w)(?!\s*\()(?!\s*::))"));
    for (const QRegularExpressionMatch& m : identifier.globalMatch(s.Code, range.Begin)) {
      if (m.capturedStart() >= range.End) break;
      if (Keywords().contains(m.captured(1))) continue;
      found = ResolveIdentifier(index, m.captured(1), m.capturedStart(), depth + 1) || found;
    }
    return found;
  }

  bool ResolveIdentifier(int index, const QString& name, qsizetype at, int depth) {
    const TSource& s = FSources[index];
    const TDefinition* owner = nullptr;  // innermost definition around `at` with that parameter
    qsizetype scopeBegin = s.Code.size();
    for (const TDefinition& d : s.Definitions) {
      if (d.BodyBegin >= at || d.BodyEnd <= at) continue;
      scopeBegin = std::min(scopeBegin, d.BodyBegin);
      if (d.Params.contains(name) && (!owner || d.BodyBegin > owner->BodyBegin)) owner = &d;
    }
    if (scopeBegin == s.Code.size()) scopeBegin = 0;
    if (owner) scopeBegin = owner->BodyBegin;  // the parameter hides anything outside
    const std::optional<TRange> local = LocalValue(s, name, scopeBegin, at);
    if (local) return ResolveRange(index, *local, depth);
    if (!owner) return false;
    QList<int> scope{index};
    if (owner->Qualified) {
      scope.resize(FSources.size());
      std::iota(scope.begin(), scope.end(), 0);
    }
    ResolveCalls(owner->Name, int(owner->Params.indexOf(name)), scope);
    return true;
  }

  // The value given to a local variable (`name = ...;`) or a structured binding
  // (`auto [a, name] : {...}`) between the scope's start and `at`, the nearest one.
  static std::optional<TRange> LocalValue(const TSource& s, const QString& name, qsizetype from, qsizetype at) {
    const QString n = QRegularExpression::escape(name);
    const QRegularExpression assignment(QStringLiteral("(?<![\\w.])(?<!->)") + n + QStringLiteral("\\s*=(?!=)"));
    const QRegularExpression binding(QStringLiteral("\\[([^\\[\\]]*)\\]\\s*:(?!:)"));
    std::optional<TRange> value;
    qsizetype nearest = -1;
    const QString code = s.Code.left(at);
    for (const QRegularExpressionMatch& m : assignment.globalMatch(code, from)) {
      nearest = m.capturedStart();
      value = TRange{m.capturedEnd(), ScanTo(s.Code, m.capturedEnd(), u";")};
    }
    for (const QRegularExpressionMatch& m : binding.globalMatch(code, from)) {
      const QStringList names = m.captured(1).split(QLatin1Char(','));
      const bool binds = std::any_of(names.begin(), names.end(), [&](const QString& b) { return b.trimmed() == name; });
      if (!binds || m.capturedStart() < nearest) continue;
      nearest = m.capturedStart();
      value = TRange{m.capturedEnd(), ScanTo(s.Code, m.capturedEnd(), u"")};
    }
    return value;
  }

  void AddText(const QString& text, const QString& where) {
    if (FSeen.contains(text)) return;
    FSeen.insert(text);
    FResult.Texts.append({text, where});
  }

  QList<TSource> FSources;
  QSet<QString> FVisited;
  QSet<QString> FSeen;
  TScanResult FResult;
};

}  // namespace

TScanResult ScanTranslatedTexts(const QList<std::pair<QString, QString>>& files, const QString& entry) {
  return TScanner(files).Run(entry);
}

QList<std::pair<QString, QString>> ReadSourceTree(const QString& root) {
  QStringList paths;
  QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) paths.append(it.next());
  paths.sort();
  QList<std::pair<QString, QString>> files;
  const QDir base(QFileInfo(root).absolutePath());
  for (const QString& path : paths) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) files.append({base.relativeFilePath(path), QString::fromUtf8(file.readAll())});
  }
  return files;
}
