#include "workspace/workspace.h"

#include "common/varnoqueerror.h"
#include "i18n/format.h"
#include "i18n/translations.h"

#include <future>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

struct TRowCounts {
  qlonglong Total = 0;
  qlonglong Equal = 0;
  double Percent() const { return Total == 0 ? 0.0 : double(Equal) * 100.0 / double(Total); }
};

TRowCounts CountRows(const TDiffItems& items) {
  TRowCounts counts;
  counts.Total = items.size();
  for (const TDiffItem& item : items)
    if (item.Kind == dkEqual) ++counts.Equal;
  return counts;
}
}  // namespace

TWorkspace::TWorkspace()
    : FLeftEncoding(&TEncoding::ANSI()),
      FRightEncoding(&TEncoding::ANSI()),
      FLeftEncName(QStringLiteral("ANSI/ASCII")),
      FRightEncName(QStringLiteral("ANSI/ASCII")) {}

TDiffOptions TWorkspace::CurrentDiffOptions() const {
  TDiffOptions options;
  options.IgnoreCase = fIgnoreCase;
  options.IgnoreAllWhiteSpace = fIgnoreWhitespace;
  options.IgnoreWsAmount = fIgnoreWSAmount;
  options.IgnoreLeadingWhiteSpace = fIgnoreLeadingWS;
  options.IgnoreTrailingWhiteSpace = fIgnoreTrailingWS;
  options.IgnoreBlankLines = fIgnoreBlankLiness;
  return options;
}

void TWorkspace::SetDiffOptions(const TDiffOptions& options) {
  fIgnoreCase = options.IgnoreCase;
  fIgnoreWhitespace = options.IgnoreAllWhiteSpace;
  fIgnoreWSAmount = options.IgnoreWsAmount;
  fIgnoreLeadingWS = options.IgnoreLeadingWhiteSpace;
  fIgnoreTrailingWS = options.IgnoreTrailingWhiteSpace;
  fIgnoreBlankLiness = options.IgnoreBlankLines;
}

void TWorkspace::SetSideEncoding(TSide side, const TDetectedEncoding& encoding) {
  (side == sdLeft ? FLeftEncoding : FRightEncoding) = encoding.Encoding;
  (side == sdLeft ? FLeftHasBOM : FRightHasBOM) = encoding.HasBOM;
  (side == sdLeft ? FLeftEncName : FRightEncName) = encoding.Name;
}

void TWorkspace::LoadTextSides(const QString& leftPath, const QString& rightPath) {
  FLeftLines.clear();
  FRightLines.clear();
  // The right file is read on a thread of its own while the left one is read here; its result
  // (or its error) is taken only once the left side has loaded, as if they were read in turn.
  QStringList rightLines;
  auto right = std::async(std::launch::async, [&rightPath, &rightLines] { return LoadTextFile(rightPath, rightLines); });
  TDetectedEncoding leftEncoding;
  try {
    leftEncoding = LoadTextFile(leftPath, FLeftLines);
  } catch (...) {
    right.wait();
    throw;
  }
  SetSideEncoding(sdLeft, leftEncoding);
  SetSideEncoding(sdRight, right.get());
  FRightLines.swap(rightLines);
}

void TWorkspace::SetDocumentSide(TSide side, const QString& text) {
  Lines(side) = SplitLines(text);
  SetSideEncoding(side, TDetectedEncoding{&TEncoding::UTF8(), true, QStringLiteral("UTF-8 with BOM")});
}

void TWorkspace::ComputeRows() {
  FFolderMode = false;
  FDiffItems = ComputeDiff(FLeftLines, FRightLines, CurrentDiffOptions());
}

bool TWorkspace::HasDifferences() const { return ::HasDifferences(FDiffItems); }

QString TWorkspace::LineCountPrefix() const {
  return FormatText(Translate(QStringLiteral("%d lines (left file) vs %d lines (right file).")),
                    {qlonglong(FLeftLines.size()), qlonglong(FRightLines.size())});
}

void TWorkspace::EnsureContentLoaded() const {
  if (FFolderMode)
    throw EVarnoqueError(Translate(QStringLiteral("Folder comparison mode: no file contents loaded.")));
}

const TEncoding& TWorkspace::SaveEncoder(TSide side) const {
  const TEncoding* encoding = side == sdLeft ? FLeftEncoding : FRightEncoding;
  if (encoding == &TEncoding::UTF8() && !HasBOM(side)) return FUtf8NoBOM;
  return *encoding;
}

void TWorkspace::PushUndoState(const TUndoState& state) {
  FUndoStack.append(state);
  while (FUndoStack.size() > MaxUndoStates) FUndoStack.removeFirst();
}

bool TWorkspace::PopUndoState(TUndoState& state) {
  if (FUndoStack.isEmpty()) return false;
  state = FUndoStack.takeLast();
  return true;
}

void TWorkspace::ClearUndoStack() { FUndoStack.clear(); }

bool LinesIdentical(const QStringList& a, const QStringList& b) { return a == b; }

bool HasDifferences(const TDiffItems& items) {
  for (const TDiffItem& item : items)
    if (item.Kind != dkEqual) return true;
  return false;
}

QString StatisticsText(const QString& prefix, const TDiffItems& items) {
  const TRowCounts counts = CountRows(items);
  if (counts.Total == 0) return prefix + QLatin1Char(' ') + Translate(QStringLiteral("No comparable lines."));
  const QString format =
      QLatin1Char(' ') + Translate(QStringLiteral("Equal lines: %d of %d (%.1f%%). Different lines: %d."));
  return prefix + FormatText(format, {counts.Equal, counts.Total, counts.Percent(), counts.Total - counts.Equal});
}

QString SummaryText(const QString& prefix, const TDiffItems& items) {
  const TRowCounts counts = CountRows(items);
  return Translate(QStringLiteral("Compared:")) + kCrLf + prefix + kCrLf +
         FormatText(Translate(QStringLiteral("Equal lines: %d of %d (%.1f%%).")),
                    {counts.Equal, counts.Total, counts.Percent()}) +
         kCrLf + FormatText(Translate(QStringLiteral("Different lines: %d.")), {counts.Total - counts.Equal});
}
