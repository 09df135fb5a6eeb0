// The translation table loader on a file written from the input: it either loads the table the
// file describes, column by column, or loads nothing and translates nothing; it never fails
// outward, and whatever it loaded answers every lookup from the table.

#include "i18n/translations.h"
#include "support/fuzzcheck.h"
#include "support/referencetext.h"
#include "support/scratchfile.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

// The table the file describes, or nullopt when it describes none.
using TColumns = QList<QStringList>;

std::optional<TColumns> ExpectedTable(const QByteArray& file) {
  QByteArrayView bytes(file);
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
  const std::optional<QString> text = reference::DecodeUtf8Strict(bytes);
  if (!text) return std::nullopt;
  const QStringList lines = reference::SplitLines(*text);
  if (lines.isEmpty()) return std::nullopt;
  // The count is the whole first line read as an integer (blanks around it allowed).
  bool isNumber = false;
  const int languages = lines[0].toInt(&isNumber);
  if (!isNumber || lines[0].contains(QChar(u'\0')) || languages < 0) return std::nullopt;
  if (languages == 0) return TColumns();
  const qsizetype rows = (lines.size() - 1) / languages;
  if (rows < 2) return std::nullopt;  // a language without its name or code
  TColumns columns(languages);
  for (qsizetype line = 1; line <= rows * languages; ++line) columns[(line - 1) % languages].append(lines[line]);
  return columns;
}

void CheckNothingLoaded(const TTranslationCatalogue& catalogue) {
  FUZZ_CHECK(catalogue.LanguageCount() == 0);
  FUZZ_CHECK(catalogue.CurrentLanguageIndex() == 0);
  FUZZ_CHECK(!catalogue.LoadFailure().isEmpty());
  FUZZ_CHECK(catalogue.LanguageName(0).isEmpty() && catalogue.LanguageCode(0).isEmpty());
  FUZZ_CHECK(catalogue.Translate(QStringLiteral("Ready.")) == QStringLiteral("Ready."));
}

// The first column whose code equals the code, letter case ignored; 0 when none does.
int ExpectedIndex(const TColumns& columns, const QString& code) {
  for (qsizetype column = 0; column < columns.size(); ++column)
    if (columns[column][1].compare(code, Qt::CaseInsensitive) == 0) return int(column);
  return 0;
}

// Every key of the table, in every language, translates to the entry of its first row.
void CheckLookups(TTranslationCatalogue& catalogue, const TColumns& columns) {
  const QStringList& keys = columns[0];
  std::map<QString, qsizetype> firstRow;
  for (qsizetype row = 0; row < keys.size(); ++row) firstRow.emplace(keys[row], row);
  const QString absent = keys.join(u'|') + u'\x01';  // longer than any key, so never one of them
  for (int column = 0; column < columns.size(); ++column) {
    catalogue.SetCurrentLanguage(column);
    FUZZ_CHECK(catalogue.CurrentLanguageIndex() == column);
    FUZZ_CHECK(catalogue.CurrentLanguageCode() == columns[column][1]);
    for (const auto& [key, row] : firstRow) {
      const QString entry = columns[column][row];
      const QString expected = column == 0 || entry.isEmpty() ? key : entry;
      FUZZ_CHECK_MSG(catalogue.Translate(key) == expected,
                     QStringLiteral("column %1, key %2").arg(column).arg(fuzzcheck::Units(key)));
    }
    FUZZ_CHECK(catalogue.Translate(absent) == absent);
  }
  // Columns out of range are refused and answer with empty texts.
  const int current = catalogue.CurrentLanguageIndex();
  for (const int outside : {-1, int(columns.size())}) {
    catalogue.SetCurrentLanguage(outside);
    FUZZ_CHECK(catalogue.CurrentLanguageIndex() == current);
    FUZZ_CHECK(catalogue.LanguageName(outside).isEmpty() && catalogue.LanguageCode(outside).isEmpty());
  }
}

void CheckLoaded(TTranslationCatalogue& catalogue, const TColumns& columns, const QString& code, bool lookups) {
  FUZZ_CHECK_MSG(catalogue.LoadFailure().isEmpty(), catalogue.LoadFailure());
  FUZZ_CHECK(catalogue.LanguageCount() == columns.size());
  for (int column = 0; column < columns.size(); ++column) {
    FUZZ_CHECK(catalogue.LanguageName(column) == columns[column][0]);
    FUZZ_CHECK(catalogue.LanguageCode(column) == columns[column][1]);
  }
  FUZZ_CHECK(catalogue.CurrentLanguageCode() == code);
  FUZZ_CHECK(catalogue.CurrentLanguageIndex() == ExpectedIndex(columns, code));
  if (lookups && !columns.isEmpty()) CheckLookups(catalogue, columns);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
  const QString path = WriteScratchFile(QStringLiteral("transl.dt"), file);
  const std::optional<TColumns> expected = ExpectedTable(file);

  // The stored codes tried: none (the system's), a code in another letter case, one that no table
  // has, and the codes of the first languages of the table. The lookups are checked once.
  QStringList codes = {QString(), QStringLiteral("DE"), QStringLiteral("xx")};
  if (expected)
    for (qsizetype column = 0; column < std::min<qsizetype>(expected->size(), 4); ++column)
      codes.append((*expected)[column][1]);
  for (qsizetype k = 0; k < codes.size(); ++k) {
    TTranslationCatalogue catalogue;
    catalogue.Load(path, codes[k]);
    const QString code = codes[k].isEmpty() ? SystemLanguageCode() : codes[k];
    if (expected) CheckLoaded(catalogue, *expected, code, k == 0);
    else CheckNothingLoaded(catalogue);
  }
  return 0;
}
