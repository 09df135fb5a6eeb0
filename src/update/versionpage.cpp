#include "update/versionpage.h"

#include <QStringView>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView TrimBlanks(QStringView text) {
  while (!text.isEmpty() && IsBlank(text.front())) text = text.sliced(1);
  while (!text.isEmpty() && IsBlank(text.back())) text.chop(1);
  return text;
}

// An optional sign and at least one ASCII digit, within the range of int.
std::optional<int> ParseDecimal(QStringView text) {
  const QStringView digits = !text.isEmpty() && (text.front() == u'+' || text.front() == u'-') ? text.sliced(1) : text;
  if (digits.isEmpty()) return std::nullopt;
  for (QChar c : digits)
    if (c < u'0' || c > u'9') return std::nullopt;
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return value;
}

}  // namespace

QStringList DecodePageLines(const QByteArray& body) {
  QByteArrayView bytes(body);
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
  const QString text = QString::fromUtf8(bytes);
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype k = 0; k < text.size(); ++k) {
    if (text[k] != u'\r' && text[k] != u'\n') continue;
    lines.append(text.mid(start, k - start));
    if (text[k] == u'\r' && k + 1 < text.size() && text[k + 1] == u'\n') ++k;
    start = k + 1;
  }
  if (start < text.size()) lines.append(text.mid(start));
  return lines;
}

QStringList RemoveEmptyLines(QStringList lines) {
  lines.removeIf([](const QString& line) { return line.isEmpty(); });
  return lines;
}

QString DisplayVersionOf(const QString& versionText) {
  if (versionText.isEmpty()) return versionText;
  QString shown = versionText;
  shown.insert(shown.size() - 1, u'.');
  return shown;
}

std::optional<TVersionLine> ParseVersionLine(const QString& line) {
  const qsizetype slash = line.indexOf(u'/');
  if (slash < 0) return std::nullopt;
  const QStringView newestText = TrimBlanks(QStringView(line).first(slash));
  const std::optional<int> newest = ParseDecimal(newestText);
  const std::optional<int> lowest = ParseDecimal(TrimBlanks(QStringView(line).sliced(slash + 1)));
  if (!newest || !lowest) return std::nullopt;
  return TVersionLine{*newest, *lowest, DisplayVersionOf(newestText.toString())};
}
