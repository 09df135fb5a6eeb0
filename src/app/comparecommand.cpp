#include "app/comparecommand.h"

#include "common/varnoqueerror.h"
#include "extract/tikaclient.h"
#include "folders/folderlisting.h"
#include "i18n/format.h"
#include "i18n/translations.h"
#include "workspace/comparechoice.h"
#include "workspace/workspace.h"

#include <QFileInfo>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

namespace {

const char* const kUsage =
    "Usage: varnoque --compare LEFT RIGHT [options]\n"
    "\n"
    "Compares two files, documents or folders without opening a window and prints\n"
    "the aligned rows.\n"
    "\n"
    "Options:\n"
    "  --mode auto|text|documents|folders\n"
    "                            how to compare (default auto: folders, documents or text\n"
    "                            as the Compare button chooses); documents are compared\n"
    "                            through the text a Tika server extracts\n"
    "  --format text|tsv         text: a side-by-side listing and the statistics line (default);\n"
    "                            tsv: one tab-separated line per row, with a header line\n"
    "                            (for folders: row, left, right, kind, newer)\n"
    "  --ignore-case             letters compare without regard to case\n"
    "  --ignore-all-space        every TAB and SPACE is ignored\n"
    "  --ignore-space-change     any run of TAB/SPACE counts as one SPACE\n"
    "  --ignore-leading-space    TAB/SPACE at the start of a line are ignored\n"
    "  --ignore-trailing-space   TAB/SPACE at the end of a line are ignored\n"
    "  --ignore-blank-lines      blank lines match each other and count as equal\n"
    "  --help                    show this text\n"
    "\n"
    "Exit status: 0 no differences, 1 differences, 2 trouble.\n";

struct TCompareArguments {
  QString Left;
  QString Right;
  QString Mode = QStringLiteral("auto");
  QString Format = QStringLiteral("text");
  TDiffOptions Options;
  bool Help = false;
};

// Thrown for command-line mistakes; reported with the usage hint.
struct EUsageError {
  QString Message;
};

bool SetOption(TDiffOptions& options, const QString& name) {
  bool* const flags[] = {&options.IgnoreCase, &options.IgnoreAllWhiteSpace, &options.IgnoreWsAmount,
                         &options.IgnoreLeadingWhiteSpace, &options.IgnoreTrailingWhiteSpace,
                         &options.IgnoreBlankLines};
  static const char* const names[] = {"--ignore-case", "--ignore-all-space", "--ignore-space-change",
                                      "--ignore-leading-space", "--ignore-trailing-space",
                                      "--ignore-blank-lines"};
  for (int i = 0; i < 6; ++i)
    if (name == QLatin1String(names[i])) return *flags[i] = true;
  return false;
}

QString ValueAfter(const QStringList& arguments, qsizetype& i, const QStringList& allowed) {
  const QString name = arguments[i];
  if (++i >= arguments.size()) throw EUsageError{name + QStringLiteral(" needs a value")};
  if (!allowed.contains(arguments[i]))
    throw EUsageError{QStringLiteral("%1: unknown value '%2'").arg(name, arguments[i])};
  return arguments[i];
}

TCompareArguments ParseArguments(const QStringList& arguments) {
  TCompareArguments parsed;
  QStringList paths;
  bool onlyPaths = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (onlyPaths || !a.startsWith(QLatin1String("--"))) paths.append(a);
    else if (a == QLatin1String("--")) onlyPaths = true;
    else if (a == QLatin1String("--compare")) continue;
    else if (a == QLatin1String("--help")) parsed.Help = true;
    else if (a == QLatin1String("--mode")) parsed.Mode = ValueAfter(arguments, i, {"auto", "text", "documents", "folders"});
    else if (a == QLatin1String("--format")) parsed.Format = ValueAfter(arguments, i, {"text", "tsv"});
    else if (!SetOption(parsed.Options, a)) throw EUsageError{QStringLiteral("unknown option '%1'").arg(a)};
  }
  if (parsed.Help) return parsed;
  if (paths.size() != 2) throw EUsageError{QStringLiteral("expected two paths, LEFT and RIGHT")};
  parsed.Left = TrimPath(paths[0]);
  parsed.Right = TrimPath(paths[1]);
  return parsed;
}

// Output is written through one large buffer: a listing of a million rows must not cost more
// than the comparison itself.
class TOutput {
public:
  ~TOutput() { Flush(); }
  TOutput& operator<<(const char* text) { FBuffer += text; return Check(); }
  TOutput& operator<<(char c) { FBuffer += c; return Check(); }
  TOutput& operator<<(const std::string& text) { FBuffer += text; return Check(); }
  TOutput& operator<<(const QString& text) { return *this << text.toStdString(); }
  TOutput& operator<<(qint64 number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    FBuffer.append(digits, end);
    return Check();
  }
  void Flush() {
    std::fwrite(FBuffer.data(), 1, FBuffer.size(), stdout);
    FBuffer.clear();
  }

private:
  TOutput& Check() {
    if (FBuffer.size() > (1 << 20)) Flush();
    return *this;
  }
  std::string FBuffer;
};

const char* KindWord(TDiffKind kind) {
  switch (kind) {
    case dkEqual: return "equal";
    case dkLeftOnly: return "left-only";
    case dkRightOnly: return "right-only";
    case dkDifferent: return "different";
  }
  return "equal";
}

char KindMarker(TDiffKind kind) {
  switch (kind) {
    case dkLeftOnly: return '<';
    case dkRightOnly: return '>';
    case dkDifferent: return '|';
    default: return ' ';
  }
}

void WriteTsv(const TDiffItems& items) {
  TOutput out;
  out << "row\tleft\tright\tkind\tleft_change_start\tleft_change_len\tright_change_start\tright_change_len\n";
  qint64 row = 0;
  for (const TDiffItem& item : items) {
    out << ++row << '\t' << qint64(item.LeftIndex) << '\t' << qint64(item.RightIndex) << '\t' << KindWord(item.Kind)
        << '\t' << qint64(item.LeftChangeStart) << '\t' << qint64(item.LeftChangeLen) << '\t'
        << qint64(item.RightChangeStart) << '\t' << qint64(item.RightChangeLen) << '\n';
  }
}

// One side of a listing row: tabs shown as blanks, cut or padded to the column width.
std::string ListingCell(const QStringList& lines, int index, qsizetype width, bool pad) {
  QString text = index >= 0 && index < lines.size() ? lines[index] : QString();
  text.replace(u'\t', u' ');
  if (text.size() > width) text = text.left(width - 1) + QChar(0x2026);
  if (pad) text = text.leftJustified(width);
  return text.toStdString();
}

void WriteListing(const TWorkspace& workspace) {
  constexpr qsizetype kColumnWidth = 60;
  TOutput out;
  qint64 row = 0;
  for (const TDiffItem& item : workspace.DiffItems()) {
    std::string number = std::to_string(++row);
    out << std::string(number.size() < 7 ? 7 - number.size() : 0, ' ') << number << "  "
        << ListingCell(workspace.LeftLines(), item.LeftIndex, kColumnWidth, true) << ' ' << KindMarker(item.Kind)
        << ' ' << ListingCell(workspace.RightLines(), item.RightIndex, kColumnWidth, false) << '\n';
  }
  out << StatisticsText(workspace.LineCountPrefix(), workspace.DiffItems()) << '\n';
}

// Folder rows: the relative paths, the kind and the side whose file is newer.
void WriteFolderTsv(const TFolderComparison& folders) {
  TOutput out;
  out << "row\tleft\tright\tkind\tnewer\n";
  for (qsizetype i = 0; i < folders.Items.size(); ++i) {
    const TDiffItem& item = folders.Items[i];
    const char* newer = folders.LeftTexts[i].size() > folders.Paths[i].size()    ? "left"
                        : folders.RightTexts[i].size() > folders.Paths[i].size() ? "right"
                                                                                 : "";
    out << qint64(i + 1) << '\t' << (item.LeftIndex >= 0 ? folders.Paths[i] : QString()) << '\t'
        << (item.RightIndex >= 0 ? folders.Paths[i] : QString()) << '\t' << KindWord(item.Kind) << '\t' << newer
        << '\n';
  }
}

void WriteFolderListing(const TFolderComparison& folders) {
  constexpr qsizetype kColumnWidth = 60;
  TOutput out;
  for (qsizetype i = 0; i < folders.Items.size(); ++i) {
    const QStringList cells{folders.LeftTexts[i], folders.RightTexts[i]};
    std::string number = std::to_string(i + 1);
    out << std::string(number.size() < 7 ? 7 - number.size() : 0, ' ') << number << "  "
        << ListingCell(cells, 0, kColumnWidth, true) << ' ' << KindMarker(folders.Items[i].Kind) << ' '
        << ListingCell(cells, 1, kColumnWidth, false) << '\n';
  }
}

class TCompareRun : public TWorkspace {
public:
  explicit TCompareRun(const TCompareArguments& arguments) : FArguments(arguments) {
    SetDiffOptions(arguments.Options);
  }

  int Run() {
    if (FArguments.Left.isEmpty() || FArguments.Right.isEmpty())
      throw EVarnoqueError(Translate(QStringLiteral("Please select both left and right files.")));
    switch (Choice()) {
      case acFolders: return CompareFolders();
      case acDocuments: return CompareDocuments();
      default: return CompareTexts();
    }
  }

private:
  static bool IsFile(const QString& path) { return QFileInfo(path).isFile(); }

  // The choice of the Compare button in automatic mode; the named modes check their paths as
  // the window's menu entries do.
  TAutomaticChoice Choice() const {
    const QString& mode = FArguments.Mode;
    const QString& left = FArguments.Left;
    const QString& right = FArguments.Right;
    if (mode == QLatin1String("folders")) {
      if (!QFileInfo(left).isDir() || !QFileInfo(right).isDir())
        throw EVarnoqueError(Translate(QStringLiteral("Both paths must be existing folders for folder comparison.")));
      return acFolders;
    }
    if (mode == QLatin1String("text") || mode == QLatin1String("documents")) {
      if (!IsFile(left) || !IsFile(right))
        throw EVarnoqueError(Translate(QStringLiteral("Both paths must be existing files for files comparison.")));
      return mode == QLatin1String("text") ? acText : acDocuments;
    }
    const TAutomaticChoice byFolders = ChooseByFolders(left, right);
    if (byFolders == acFolderMismatch)
      throw EVarnoqueError(Translate(QStringLiteral("Both paths must be folders for folder comparison.")));
    return byFolders == acFolders ? acFolders : ChooseByContent(left, right);
  }

  void CheckFilesExist() const {
    if (!IsFile(FArguments.Left)) throw EVarnoqueError(Translate(QStringLiteral("Left file does not exist.")));
    if (!IsFile(FArguments.Right)) throw EVarnoqueError(Translate(QStringLiteral("Right file does not exist.")));
  }

  int CompareTexts() {
    CheckFilesExist();
    LoadTextSides(FArguments.Left, FArguments.Right);
    return WriteRows();
  }

  int CompareDocuments() {
    CheckFilesExist();
    const TExtraction left = ExtractTextWithTika(FArguments.Left);
    const TExtraction right = ExtractTextWithTika(FArguments.Right);
    if (!left.Success || !right.Success)
      throw EVarnoqueError(DocumentFailureText(left, right) + QStringLiteral("\n\n") + TikaInstallHint());
    SetDocumentSide(sdLeft, left.Text);
    SetDocumentSide(sdRight, right.Text);
    return WriteRows();
  }

  int WriteRows() {
    ComputeRows();
    if (FArguments.Format == QLatin1String("tsv")) WriteTsv(FDiffItems);
    else WriteListing(*this);
    return HasDifferences() ? esDifferences : esNoDifferences;
  }

  int CompareFolders() {
    const TFolderComparison folders = CompareFolderTrees(FArguments.Left, FArguments.Right);
    if (FArguments.Format == QLatin1String("tsv")) {
      WriteFolderTsv(folders);
    } else {
      WriteFolderListing(folders);
      TOutput() << FormatText(Translate(QStringLiteral("Compared %d files (left folder, including subfolders) vs %d "
                                                       "files (right folder, including subfolders).")),
                              {qlonglong(folders.LeftFileCount), qlonglong(folders.RightFileCount)})
                << '\n';
    }
    return ::HasDifferences(folders.Items) ? esDifferences : esNoDifferences;
  }

  const TCompareArguments& FArguments;
};

void PrintError(const QString& message) {
  // The window's texts break their lines with CR LF; a terminal wants LF alone.
  QString text = message;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  std::fprintf(stderr, "varnoque: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

bool IsCompareCommand(const QStringList& arguments) {
  return arguments.contains(QStringLiteral("--compare")) || arguments.contains(QStringLiteral("--help"));
}

int RunCompareCommand(const QStringList& arguments) {
  try {
    const TCompareArguments parsed = ParseArguments(arguments);
    if (parsed.Help) {
      std::fputs(kUsage, stdout);
      return esNoDifferences;
    }
    // The process ends right after the command: the sides are left for the operating system to
    // reclaim, since freeing hundreds of thousands of lines one by one costs more than comparing.
    auto* run = new TCompareRun(parsed);
    return run->Run();
  } catch (const EUsageError& error) {
    PrintError(error.Message + QStringLiteral("\nTry 'varnoque --help' for more information."));
  } catch (const EVarnoqueError& error) {
    PrintError(error.Message());
  } catch (const std::exception& error) {
    PrintError(QString::fromLocal8Bit(error.what()));
  }
  return esTrouble;
}
