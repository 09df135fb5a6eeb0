#include "workspace/comparechoice.h"

#include "text/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
const QSet<QString>& DocumentExtensions() {
  static const QSet<QString> extensions{
      ".docx", ".xlsx", ".pptx", ".doc",  ".xls",  ".ppt",  ".pdf",   ".jpg",  ".jpeg",   ".png", ".gif",
      ".bmp",  ".tif",  ".tiff", ".webp", ".ico",  ".zip",  ".rar",   ".7z",   ".tar",    ".gz",  ".mp3",
      ".wav",  ".ogg",  ".flac", ".mp4",  ".avi",  ".mkv",  ".mov",   ".exe",  ".dll",    ".bin", ".ttf",
      ".otf",  ".woff", ".woff2", ".psd", ".ai",   ".dwg",  ".mdb",   ".accdb", ".sqlite", ".eml", ".msg"};
  return extensions;
}

QString AsciiLower(QString text) {
  for (QChar& c : text)
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
  return text;
}

// From the last "." of the file name on, the dot included; empty when the name has none.
QString ExtensionOf(const QString& path) {
  const qsizetype nameStart = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1;
  const qsizetype dot = path.lastIndexOf(u'.');
  return dot >= nameStart ? path.mid(dot) : QString();
}

bool IsFolder(const QString& path) { return QFileInfo(path).isDir(); }
}  // namespace

bool IsDocumentExtension(const QString& path) { return DocumentExtensions().contains(AsciiLower(ExtensionOf(path))); }

TAutomaticChoice ChooseByFolders(const QString& leftPath, const QString& rightPath) {
  const bool leftFolder = IsFolder(leftPath);
  const bool rightFolder = IsFolder(rightPath);
  if (leftFolder && rightFolder) return acFolders;
  if (leftFolder || rightFolder) return acFolderMismatch;
  return acText;
}

TAutomaticChoice ChooseByContent(const QString& leftPath, const QString& rightPath) {
  if (IsDocumentExtension(leftPath) && IsDocumentExtension(rightPath)) return acDocuments;
  if (IsTextFile(leftPath).IsText && IsTextFile(rightPath).IsText) return acText;
  return acDocuments;
}

QString TrimPath(const QString& path) {
  qsizetype start = 0;
  qsizetype end = path.size();
  while (start < end && path[start].unicode() <= 0x20) ++start;
  while (end > start && path[end - 1].unicode() <= 0x20) --end;
  return path.mid(start, end - start);
}

std::pair<QString, QString> SplitFolderAndName(const QString& path) {
  const qsizetype delimiter = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(QDir::separator()));
  if (delimiter < 0) return {QString(), path};
  return {path.left(delimiter), path.mid(delimiter + 1)};
}

void UpdatePathHistory(QStringList& history, const QString& path, THistoryUpdate mode) {
  qsizetype found = -1;
  for (qsizetype i = 0; i < history.size() && found < 0; ++i)
    if (history[i].compare(path, Qt::CaseInsensitive) == 0) found = i;
  if (mode == huInsertIfAbsent && found >= 0) return;
  if (found >= 0) history.removeAt(found);
  history.prepend(path);
  if (history.size() > MaxPathHistory) history.removeLast();
}
