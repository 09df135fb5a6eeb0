#include "app/comparecommand.h"

#include "common/varnoqueerror.h"
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
    "Compares two files without opening a window and prints the aligned rows.\n"
    "\n"
    "Options:\n"
    "  --mode auto|text          how to compare (default auto: folders, documents or text\n"
    "                            as the Compare button chooses; text: both must be files)\n"
    "  --format text|tsv         text: a side-by-side listing and the statistics line (default);\n"
    "                            tsv: one tab-separated line per row, with a header line\n"
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
    else if (a == QLatin1String("--mode")) parsed.Mode = ValueAfter(arguments, i, {"auto", "text"});
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

class TCompareRun : public TWorkspace {
public:
  explicit TCompareRun(const TCompareArguments& arguments) : FArguments(arguments) {
    SetDiffOptions(arguments.Options);
  }

  int Run() {
    CheckPaths();
    LoadTextSides(FArguments.Left, FArguments.Right);
    ComputeRows();
    if (FArguments.Format == QLatin1String("tsv")) WriteTsv(FDiffItems);
    else WriteListing(*this);
    return HasDifferences() ? esDifferences : esNoDifferences;
  }

private:
  static bool IsFile(const QString& path) { return QFileInfo(path).isFile(); }

  void CheckPaths() const {
    if (FArguments.Left.isEmpty() || FArguments.Right.isEmpty())
      throw EVarnoqueError(Translate(QStringLiteral("Please select both left and right files.")));
    if (FArguments.Mode == QLatin1String("text")) {
      if (!IsFile(FArguments.Left) || !IsFile(FArguments.Right))
        throw EVarnoqueError(Translate(QStringLiteral("Both paths must be existing files for files comparison.")));
      return;
    }
    CheckAutomaticChoice();
  }

  void CheckAutomaticChoice() const {
    switch (ChooseByFolders(FArguments.Left, FArguments.Right)) {
      case acFolderMismatch:
        throw EVarnoqueError(Translate(QStringLiteral("Both paths must be folders for folder comparison.")));
      case acFolders:
        throw EVarnoqueError(QStringLiteral("Folder comparison is not available in the headless command yet."));
      default:
        break;
    }
    if (ChooseByContent(FArguments.Left, FArguments.Right) != acDocuments) return;
    if (!QFileInfo::exists(FArguments.Left)) throw EVarnoqueError(Translate(QStringLiteral("Left file does not exist.")));
    if (!QFileInfo::exists(FArguments.Right)) throw EVarnoqueError(Translate(QStringLiteral("Right file does not exist.")));
    throw EVarnoqueError(QStringLiteral("Document comparison is not available in the headless command yet."));
  }

  const TCompareArguments& FArguments;
};

void PrintError(const QString& message) {
  std::fprintf(stderr, "varnoque: %s\n", message.toLocal8Bit().constData());
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
    return TCompareRun(parsed).Run();
  } catch (const EUsageError& error) {
    PrintError(error.Message + QStringLiteral("\nTry 'varnoque --help' for more information."));
  } catch (const EVarnoqueError& error) {
    PrintError(error.Message());
  } catch (const std::exception& error) {
    PrintError(QString::fromLocal8Bit(error.what()));
  }
  return esTrouble;
}
