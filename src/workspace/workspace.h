#pragma once
// The comparison workspace: the two sides, their encodings, the aligned rows, the comparison
// options, the undo history and the two flags. The main window is a workspace; the headless
// compare command uses one on its own, so both load and compare the same way.

#include "diff/diffengine.h"
#include "text/encoding.h"
#include "text/textfile.h"

#include <QList>
#include <QStringList>

enum TSide { sdLeft = 0, sdRight = 1 };

inline TSide OtherSide(TSide side) { return side == sdLeft ? sdRight : sdLeft; }

// One undo snapshot: both sides and where the grid stood.
struct TUndoState {
  QStringList LeftLines;
  QStringList RightLines;
  qint32 SelectedRow = 0;
  qint32 SelectedCol = 0;
  qint32 TopRow = 0;
};

// At most this many changes can be undone.
constexpr int MaxUndoStates = 3;

class TWorkspace {
public:
  TWorkspace();
  virtual ~TWorkspace() = default;

  const QStringList& LeftLines() const { return FLeftLines; }
  const QStringList& RightLines() const { return FRightLines; }
  const QStringList& Lines(TSide side) const { return side == sdLeft ? FLeftLines : FRightLines; }
  const TDiffItems& DiffItems() const { return FDiffItems; }
  const QString& EncName(TSide side) const { return side == sdLeft ? FLeftEncName : FRightEncName; }
  bool HasBOM(TSide side) const { return side == sdLeft ? FLeftHasBOM : FRightHasBOM; }
  bool FolderMode() const { return FFolderMode; }
  bool UnsavedChanges() const { return FUnsavedChanges; }
  int UndoCount() const { return int(FUndoStack.size()); }

  TDiffOptions CurrentDiffOptions() const;
  void SetDiffOptions(const TDiffOptions& options);

  // Clears both sides and loads the left file, then the right one. On a failure the side being
  // loaded stays empty and the error travels on.
  void LoadTextSides(const QString& leftPath, const QString& rightPath);
  // The lines of the loaded sides share their file's text (see LoadTextFile): only for a workspace
  // whose sides are kept, unchanged, until the process ends.
  void KeepLoadedTexts() { FKeepTexts = true; }
  // A side taken from a document's extracted text: its lines, held as UTF-8 with a byte-order mark.
  void SetDocumentSide(TSide side, const QString& text);
  // Aligns the two sides with the current options into FDiffItems.
  void ComputeRows();
  bool HasDifferences() const;
  // "%d lines (left file) vs %d lines (right file)." filled with the two line counts.
  QString LineCountPrefix() const;
  // Raises EVarnoqueError when the commands that need the two texts cannot run.
  void EnsureContentLoaded() const;
  // The encoder a side is written with: UTF-8 read without a byte-order mark is written without one.
  const TEncoding& SaveEncoder(TSide side) const;

  void PushUndoState(const TUndoState& state);
  bool PopUndoState(TUndoState& state);
  void ClearUndoStack();

protected:
  QStringList& Lines(TSide side) { return side == sdLeft ? FLeftLines : FRightLines; }
  void SetSideEncoding(TSide side, const TDetectedEncoding& encoding);

  QStringList FLeftLines;
  QStringList FRightLines;
  TDiffItems FDiffItems;
  const TEncoding* FLeftEncoding;
  const TEncoding* FRightEncoding;
  bool FLeftHasBOM = false;
  bool FRightHasBOM = false;
  QString FLeftEncName;
  QString FRightEncName;
  TUTF8NoBOMEncoding FUtf8NoBOM;
  bool fIgnoreCase = false;
  bool fIgnoreWhitespace = false;
  bool fIgnoreWSAmount = false;
  bool fIgnoreLeadingWS = false;
  bool fIgnoreTrailingWS = false;
  bool fIgnoreBlankLiness = false;
  QList<TUndoState> FUndoStack;
  bool FFolderMode = false;
  // The sides hold changes that were not saved (one flag for both sides).
  bool FUnsavedChanges = false;

private:
  bool FKeepTexts = false;
  QString FLeftText;
  QString FRightText;
};

// True when both lists hold the same lines, compared exactly.
bool LinesIdentical(const QStringList& a, const QStringList& b);
bool HasDifferences(const TDiffItems& items);

// The status line: the prefix, then the equal and different row counts (or "No comparable lines.").
QString StatisticsText(const QString& prefix, const TDiffItems& items);
// The four lines of the summary box.
QString SummaryText(const QString& prefix, const TDiffItems& items);
