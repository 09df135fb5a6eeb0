#include "folders/folderlisting.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPair>
#include <QSet>

#include <algorithm>
#include <numeric>

#include <dirent.h>
#include <sys/stat.h>

namespace {

const QString kNewMark = QStringLiteral(" new");
constexpr char16_t kFirstEscape = 0xDC00;  // a byte b that is no UTF-8 stands as U+DC00 + b

QString WithDelimiter(const QString& folder) {
  return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()) ? folder : folder + QLatin1Char('/');
}

// The length of the well-formed UTF-8 sequence at the start of the bytes and its code point; 0
// when the bytes there are no UTF-8 (overlong forms and surrogates included).
int Utf8Sequence(const uchar* b, qsizetype available, char32_t& codePoint) {
  const uchar lead = b[0];
  int length = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) length = 2, least = 0x80, codePoint = lead & 0x1F;
  else if ((lead & 0xF0) == 0xE0) length = 3, least = 0x800, codePoint = lead & 0x0F;
  else if ((lead & 0xF8) == 0xF0) length = 4, least = 0x10000, codePoint = lead & 0x07;
  else return 0;
  if (available < length) return 0;
  for (int k = 1; k < length; ++k) {
    if ((b[k] & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (b[k] & 0x3F);
  }
  const bool valid = codePoint >= least && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
  return valid ? length : 0;
}

// A name as the file system holds it; see ListFilesRecursive for bytes that are no UTF-8.
QString DecodeName(QByteArrayView bytes) {
  QString name;
  name.reserve(bytes.size());
  const auto* b = reinterpret_cast<const uchar*>(bytes.data());
  for (qsizetype i = 0; i < bytes.size();) {
    char32_t codePoint = 0;
    const int length = b[i] < 0x80 ? 0 : Utf8Sequence(b + i, bytes.size() - i, codePoint);
    if (b[i] < 0x80) name.append(QLatin1Char(char(b[i])));
    else if (length > 0) name.append(QChar::fromUcs4(codePoint));
    else name.append(QChar(char16_t(kFirstEscape + b[i])));
    i += length > 0 ? length : 1;
  }
  return name;
}

// The name as the grid shows it: a byte that is no UTF-8 as the replacement character.
QString ShownName(QString name) {
  for (QChar& c : name)
    if (c.unicode() >= kFirstEscape + 0x80 && c.unicode() <= kFirstEscape + 0xFF) c = QChar::ReplacementCharacter;
  return name;
}

qint64 MillisecondsOf(const timespec& time) { return std::max<qint64>(qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000, 0); }

using TFolderId = QPair<quint64, quint64>;  // device and inode

// The names in the folder, read whole before any of them is followed, so a deep tree keeps only
// one folder open at a time. False when the folder cannot be read or is one of `descent`.
bool ReadFolder(const QByteArray& folder, const QSet<TFolderId>& descent, TFolderId& id, QList<QByteArray>& names) {
  DIR* dir = ::opendir(folder.constData());
  if (!dir) return false;
  struct stat self {};
  const bool fresh = ::fstat(::dirfd(dir), &self) == 0 && !descent.contains(TFolderId(self.st_dev, self.st_ino));
  id = TFolderId(self.st_dev, self.st_ino);
  while (fresh) {
    const dirent* entry = ::readdir(dir);
    if (!entry) break;
    const QByteArray name(entry->d_name);
    if (name != "." && name != "..") names.append(name);
  }
  ::closedir(dir);
  return fresh;
}

// Folders on the way from the root to the folder being listed: a link back into one of them
// would otherwise be followed without end. Paths are the file system's own bytes.
void ListFolder(const QByteArray& root, const QByteArray& folder, TPathList& side, TPathList& all,
                QSet<TFolderId>& descent) {
  TFolderId id;
  QList<QByteArray> names;
  if (!ReadFolder(folder, descent, id, names)) return;
  descent.insert(id);
  for (const QByteArray& name : names) {
    const QByteArray full = folder + name;
    struct stat info {};
    const bool found = ::stat(full.constData(), &info) == 0;  // links followed
    if (found && S_ISDIR(info.st_mode)) {
      ListFolder(root, full + '/', side, all, descent);
      continue;
    }
    const QString relative = DecodeName(QByteArrayView(full).sliced(root.size()));
    const TFileFacts facts = found ? TFileFacts{qint64(info.st_size), MillisecondsOf(info.st_mtim)} : TFileFacts{};
    side.Add(relative, facts);
    all.Add(relative, facts);
  }
  descent.remove(id);
}

}  // namespace

bool TPathList::Add(const QString& relativePath, const TFileFacts& facts) {
  const QString folded = relativePath.toCaseFolded();
  if (FPositions.contains(folded)) return false;
  FPositions.insert(folded, int(FPaths.size()));
  FPaths.append(relativePath);
  FFacts.append(facts);
  return true;
}

void TPathList::Sort() {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<int> order(FPaths.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<QString> folded(FPaths.size());
  std::vector<QCollatorSortKey> keys;
  keys.reserve(FPaths.size());
  for (qsizetype i = 0; i < FPaths.size(); ++i) {
    folded[i] = FPaths[i].toCaseFolded();
    keys.push_back(collator.sortKey(FPaths[i]));
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int byCollation = keys[a].compare(keys[b]);
    return byCollation != 0 ? byCollation < 0 : folded[a] < folded[b];
  });
  QStringList sorted;
  QList<TFileFacts> sortedFacts;
  sorted.reserve(FPaths.size());
  sortedFacts.reserve(FPaths.size());
  for (int i = 0; i < int(order.size()); ++i) {
    sorted.append(FPaths[order[i]]);
    sortedFacts.append(FFacts[order[i]]);
    FPositions[folded[order[i]]] = i;
  }
  FPaths = std::move(sorted);
  FFacts = std::move(sortedFacts);
}

int TPathList::IndexOf(const QString& relativePath) const { return FPositions.value(relativePath.toCaseFolded(), -1); }

void ListFilesRecursive(const QString& root, const QString& folder, TPathList& side, TPathList& all) {
  QSet<TFolderId> descent;
  ListFolder(QFile::encodeName(WithDelimiter(root)), QFile::encodeName(WithDelimiter(folder)), side, all, descent);
}

qint64 FileSizeOf(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isDir() ? info.size() : -1;
}

TFolderComparison CompareFolderTrees(const QString& leftRoot, const QString& rightRoot) {
  const QString left = WithDelimiter(leftRoot);
  const QString right = WithDelimiter(rightRoot);
  TPathList leftList, rightList, all;
  ListFilesRecursive(left, left, leftList, all);
  ListFilesRecursive(right, right, rightList, all);
  leftList.Sort();
  rightList.Sort();
  all.Sort();

  TFolderComparison result;
  result.LeftFileCount = leftList.Count();
  result.RightFileCount = rightList.Count();
  for (const QString& path : all.Paths()) {
    TDiffItem item;
    item.LeftIndex = leftList.IndexOf(path);
    item.RightIndex = rightList.IndexOf(path);
    const QString shown = ShownName(path);
    QString leftText = item.LeftIndex >= 0 ? shown : QString();
    QString rightText = item.RightIndex >= 0 ? shown : QString();
    if (item.LeftIndex >= 0 && item.RightIndex >= 0) {
      // Each side's file as the listing found it: names that differ only in case are one entry.
      const TFileFacts& leftFile = leftList.Facts(item.LeftIndex);
      const TFileFacts& rightFile = rightList.Facts(item.RightIndex);
      item.Kind = leftFile.Size >= 0 && leftFile.Size == rightFile.Size ? dkEqual : dkDifferent;
      if (item.Kind == dkDifferent) {
        const qint64 leftTime = leftFile.ModifiedMs;
        const qint64 rightTime = rightFile.ModifiedMs;
        if (leftTime > 0 && rightTime > 0 && leftTime > rightTime) leftText += kNewMark;
        if (leftTime > 0 && rightTime > 0 && leftTime < rightTime) rightText += kNewMark;
      }
    } else {
      item.Kind = item.LeftIndex >= 0 ? dkLeftOnly : dkRightOnly;
    }
    result.Items.append(item);
    result.Paths.append(shown);
    result.LeftTexts.append(leftText);
    result.RightTexts.append(rightText);
  }
  return result;
}
