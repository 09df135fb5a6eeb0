#pragma once
// Listing two folder trees and pairing their files by relative path. Files are equal when their
// sizes are equal; the later file of a differing pair is marked " new".

#include "diff/diffengine.h"

#include <QHash>
#include <QStringList>

// What the listing found out about one file: its size (-1 when it could not be read) and its
// last-write time in milliseconds since the epoch (0 when it could not be read).
struct TFileFacts {
  qint64 Size = -1;
  qint64 ModifiedMs = 0;
};

// The relative paths of one tree (or of both), sorted in the user's collation without regard
// to case; a path equal to one already present, ignoring case, is not added again.
class TPathList {
public:
  // False when an equal path (ignoring case) is already present.
  bool Add(const QString& relativePath, const TFileFacts& facts = {});
  // Sorts the paths; positions are valid afterwards.
  void Sort();
  int IndexOf(const QString& relativePath) const;
  const QStringList& Paths() const { return FPaths; }
  const TFileFacts& Facts(int index) const { return FFacts[index]; }
  qsizetype Count() const { return FPaths.size(); }

private:
  QStringList FPaths;
  QList<TFileFacts> FFacts;  // per path
  QHash<QString, int> FPositions;  // case-folded path -> position in FPaths
};

// Adds every file below the folder (hidden ones included, links to folders followed once per
// descent) to the side list and the union list. A folder that cannot be read adds nothing. Bytes
// of a name that are not UTF-8 become U+DC80..U+DCFF, one for each byte, so that no name is
// lost or taken for another.
void ListFilesRecursive(const QString& root, const QString& folder, TPathList& side, TPathList& all);

// The file's size; -1 when no file is found at the path.
qint64 FileSizeOf(const QString& path);

struct TFolderComparison {
  qsizetype LeftFileCount = 0;
  qsizetype RightFileCount = 0;
  TDiffItems Items;
  QStringList LeftTexts;   // per row: the relative path, " new" appended on the newer side
  QStringList RightTexts;
  QStringList Paths;       // per row: the relative path without the mark
};

TFolderComparison CompareFolderTrees(const QString& leftRoot, const QString& rightRoot);
