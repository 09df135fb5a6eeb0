#pragma once
// Choosing how two paths are compared, and keeping the path histories.

#include <QString>
#include <QStringList>

#include <utility>

// The file name's last extension is one of the document formats that Tika extracts text from.
bool IsDocumentExtension(const QString& path);

enum TAutomaticChoice {
  acFolders,          // both paths are folders
  acFolderMismatch,   // one path is a folder, the other is not
  acDocuments,        // compare the extracted texts
  acText,             // compare the files as text
};

// Whether the paths name folders; acText stands for "neither is a folder".
TAutomaticChoice ChooseByFolders(const QString& leftPath, const QString& rightPath);
// For two paths that are not folders: listed extensions on both sides, or content that is not
// text on either side, go to the documents. Raises EVarnoqueError when a file cannot be read.
TAutomaticChoice ChooseByContent(const QString& leftPath, const QString& rightPath);

// Removes characters up to U+0020 at both ends.
QString TrimPath(const QString& path);
// Everything before the last path delimiter, and the name after it.
std::pair<QString, QString> SplitFolderAndName(const QString& path);

// The path histories keep at most this many entries.
constexpr int MaxPathHistory = 50;

enum THistoryUpdate {
  huMoveToTop,      // the Compare button: an equal entry (ignoring case) is replaced at the top
  huInsertIfAbsent, // the comparison menu entries: an existing entry keeps its place
};

void UpdatePathHistory(QStringList& history, const QString& path, THistoryUpdate mode);
