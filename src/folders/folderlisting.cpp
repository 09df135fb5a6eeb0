#include "folders/folderlisting.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <numeric>

namespace {

const QString kNewMark = QStringLiteral(" new");

QString WithDelimiter(const QString& folder) {
  return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()) ? folder : folder + QLatin1Char('/');
}

// Last-write time in milliseconds since the epoch, links followed; 0 when it cannot be read.
qint64 ModificationTime(const QString& path) {
  const QDateTime time = QFileInfo(path).lastModified();
  return time.isValid() ? std::max<qint64>(time.toMSecsSinceEpoch(), 0) : 0;
}

// Folders on the way from the root to the folder being listed, by their canonical paths: a link
// back into one of them would otherwise be followed without end.
void ListFolder(const QString& root, const QString& folder, TPathList& side, TPathList& all, QSet<QString>& descent) {
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  if (canonical.isEmpty() || descent.contains(canonical)) return;
  descent.insert(canonical);
  const QDir dir(folder);
  const QFileInfoList entries =
      dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    const QString full = WithDelimiter(folder) + entry.fileName();
    if (entry.isDir()) {
      ListFolder(root, full, side, all, descent);
    } else {
      const QString relative = full.mid(root.size());
      side.Add(relative);
      all.Add(relative);
    }
  }
  descent.remove(canonical);
}

}  // namespace

bool TPathList::Add(const QString& relativePath) {
  const QString folded = relativePath.toCaseFolded();
  if (FPositions.contains(folded)) return false;
  FPositions.insert(folded, int(FPaths.size()));
  FPaths.append(relativePath);
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
  sorted.reserve(FPaths.size());
  for (int i = 0; i < int(order.size()); ++i) {
    sorted.append(FPaths[order[i]]);
    FPositions[folded[order[i]]] = i;
  }
  FPaths = std::move(sorted);
}

int TPathList::IndexOf(const QString& relativePath) const { return FPositions.value(relativePath.toCaseFolded(), -1); }

void ListFilesRecursive(const QString& root, const QString& folder, TPathList& side, TPathList& all) {
  QSet<QString> descent;
  ListFolder(root, folder, side, all, descent);
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
  result.Paths = all.Paths();
  for (const QString& path : all.Paths()) {
    TDiffItem item;
    item.LeftIndex = leftList.IndexOf(path);
    item.RightIndex = rightList.IndexOf(path);
    QString leftText = item.LeftIndex >= 0 ? path : QString();
    QString rightText = item.RightIndex >= 0 ? path : QString();
    if (item.LeftIndex >= 0 && item.RightIndex >= 0) {
      // Each side's file under its own spelling: names that differ only in case are one entry.
      const QString leftFile = left + leftList.Paths()[item.LeftIndex];
      const QString rightFile = right + rightList.Paths()[item.RightIndex];
      const qint64 leftSize = FileSizeOf(leftFile);
      item.Kind = leftSize >= 0 && leftSize == FileSizeOf(rightFile) ? dkEqual : dkDifferent;
      if (item.Kind == dkDifferent) {
        const qint64 leftTime = ModificationTime(leftFile);
        const qint64 rightTime = ModificationTime(rightFile);
        if (leftTime > 0 && rightTime > 0 && leftTime > rightTime) leftText += kNewMark;
        if (leftTime > 0 && rightTime > 0 && leftTime < rightTime) rightText += kNewMark;
      }
    } else {
      item.Kind = item.LeftIndex >= 0 ? dkLeftOnly : dkRightOnly;
    }
    result.Items.append(item);
    result.LeftTexts.append(leftText);
    result.RightTexts.append(rightText);
  }
  return result;
}
