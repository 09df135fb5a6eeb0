// The translation table shipped with the program: its format, its languages, and a complete row
// for every text the program passes to Translate.
#include "i18n/sourcescan.h"
#include "i18n/textlines.h"
#include "i18n/translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <gtest/gtest.h>

// Failures print texts readably.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SourceTablePath() { return QStringLiteral(VARNOQUE_SOURCE_DIR "/src/i18n/transl.dt"); }

// The table as rows of N entries: row 0 the names, row 1 the codes, then one row per text.
struct TShippedTable {
  int Languages = 0;
  QList<QStringList> Rows;
};

TShippedTable ReadShippedTable() {
  const QStringList lines = SplitTextLines(QString::fromUtf8(ReadAll(SourceTablePath())));
  TShippedTable table;
  table.Languages = lines.value(0).toInt();
  for (qsizetype line = 1; table.Languages > 0 && line + table.Languages <= lines.size(); line += table.Languages)
    table.Rows.append(lines.mid(line, table.Languages));
  return table;
}

// The placeholders FormatText fills, in order; any other '%' counts as a stray one.
std::string Placeholders(const QString& text) {
  static const QRegularExpression percent(QStringLiteral(R"(%(%|d|s|\.1f|2\.2x)?)"));
  QStringList found;
  for (const QRegularExpressionMatch& m : percent.globalMatch(text))
    found.append(m.capturedLength(1) > 0 ? m.captured(0) : QStringLiteral("%?"));
  return found.join(QLatin1Char(' ')).toStdString();
}

std::string Utf8(const QString& text) { return text.toStdString(); }

struct TLanguage {
  const char* Code;
  const char* Name;
};

constexpr TLanguage ShippedLanguages[] = {
    {"en", "English"}, {"de", "Deutsch"}, {"fr", "Français"}, {"es", "Español"}, {"jp", "日本語"}};

TEST(ShippedTableTest, IsCleanUtf8WithLfLineEnds) {
  const QByteArray bytes = ReadAll(SourceTablePath());
  ASSERT_FALSE(bytes.isEmpty());
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  const QString text = decoder.decode(bytes);
  EXPECT_FALSE(decoder.hasError());
  EXPECT_FALSE(text.startsWith(QChar(0xFEFF)));
  EXPECT_FALSE(bytes.contains('\r'));
  EXPECT_TRUE(bytes.endsWith('\n'));
}

TEST(ShippedTableTest, LoadsWithEveryShippedLanguageInOrder) {
  const QStringList lines = SplitTextLines(QString::fromUtf8(ReadAll(SourceTablePath())));
  bool isNumber = false;
  const int languages = lines.value(0).toInt(&isNumber);
  ASSERT_TRUE(isNumber);
  ASSERT_GE(languages, int(std::size(ShippedLanguages)));
  EXPECT_EQ((lines.size() - 1) % languages, 0) << "the last group is incomplete";
  for (int column = 0; column < int(std::size(ShippedLanguages)); ++column) {
    const TLanguage& language = ShippedLanguages[column];
    TTranslationCatalogue catalogue;
    catalogue.Load(SourceTablePath(), QString::fromLatin1(language.Code));
    EXPECT_EQ(catalogue.LoadFailure(), QString());
    EXPECT_EQ(catalogue.LanguageCount(), languages);
    EXPECT_EQ(catalogue.CurrentLanguageIndex(), column) << language.Code;
    EXPECT_EQ(catalogue.LanguageCode(column), QString::fromLatin1(language.Code));
    EXPECT_EQ(catalogue.LanguageName(column), QString::fromUtf8(language.Name));
  }
}

TEST(ShippedTableTest, EveryRowIsTranslatedIntoEveryLanguage) {
  const TShippedTable table = ReadShippedTable();
  ASSERT_GT(table.Rows.size(), 2);
  QSet<QString> keys;
  for (qsizetype row = 0; row < table.Rows.size(); ++row) {
    const QStringList& entries = table.Rows[row];
    const QString& english = entries.first();
    EXPECT_FALSE(english.isEmpty()) << "row " << row;
    EXPECT_FALSE(keys.contains(english)) << "listed twice: " << Utf8(english);
    keys.insert(english);
    for (int column = 1; column < table.Languages; ++column) {
      const QString& entry = entries[column];
      const std::string where = Utf8(english) + " / " + Utf8(table.Rows[1][column]);
      EXPECT_FALSE(entry.trimmed().isEmpty()) << where;
      EXPECT_EQ(Placeholders(entry), Placeholders(english)) << where;
      // Texts are joined with blanks and line breaks by the program; a stray blank would show.
      if (!english.front().isSpace()) {
        EXPECT_FALSE(entry.front().isSpace()) << where;
      }
      if (!english.back().isSpace()) {
        EXPECT_FALSE(entry.back().isSpace()) << where;
      }
    }
  }
}

TEST(ShippedTableTest, HasARowForEveryTextTheProgramTranslates) {
  const TScanResult scan = ScanTranslatedTexts(ReadSourceTree(QStringLiteral(VARNOQUE_SOURCE_DIR "/src")));
  EXPECT_TRUE(scan.Unresolved.isEmpty())
      << "Translate calls whose text the scan cannot follow (pass the literal, or a helper's parameter):\n"
      << Utf8(scan.Unresolved.join(QLatin1Char('\n')));
  QSet<QString> found;
  for (const TTranslatedText& text : scan.Texts) found.insert(text.Text);
  // One text of each form the program uses, so that a scan that lost a form cannot pass unseen.
  for (const char* sample : {"Ready.", "Ignore all whitespaces ", "Left file does not exist.",
                             "Compare the specified folders?", "Cannot open the file \"%s\": %s",
                             "Left file saved as %s.", "Exit", "Skip", "Empty file."})
    EXPECT_TRUE(found.contains(QString::fromUtf8(sample))) << "the scan missed: " << sample;

  QSet<QString> keys;
  for (const QStringList& row : ReadShippedTable().Rows) keys.insert(row.first());
  for (const TTranslatedText& text : scan.Texts)
    EXPECT_TRUE(keys.contains(text.Text)) << "no row for \"" << Utf8(text.Text) << "\" (" << Utf8(text.Where) << ")";
}

// The update dialog tells its Abort state by the caption of its cancel button.
TEST(ShippedTableTest, AbortReadsDifferentlyFromSkipAndExit) {
  for (const TLanguage& language : ShippedLanguages) {
    TTranslationCatalogue catalogue;
    catalogue.Load(SourceTablePath(), QString::fromLatin1(language.Code));
    const QString abort = catalogue.Translate(QStringLiteral("Abort"));
    EXPECT_NE(abort, catalogue.Translate(QStringLiteral("Skip"))) << language.Code;
    EXPECT_NE(abort, catalogue.Translate(QStringLiteral("Exit"))) << language.Code;
  }
}

// Rows the program no longer asks for do no harm; they are listed so that they can be dropped.
TEST(ShippedTableTest, EveryRowIsStillUsed) {
  const TScanResult scan = ScanTranslatedTexts(ReadSourceTree(QStringLiteral(VARNOQUE_SOURCE_DIR "/src")));
  QSet<QString> found;
  for (const TTranslatedText& text : scan.Texts) found.insert(text.Text);
  const QList<QStringList> rows = ReadShippedTable().Rows;
  QStringList unused;
  for (qsizetype row = 2; row < rows.size(); ++row)
    if (!found.contains(rows[row].first())) unused.append(rows[row].first());
  if (!unused.isEmpty()) GTEST_SKIP() << "rows no text of the program uses: " << Utf8(unused.join(QStringLiteral(" | ")));
}

TEST(ShippedTableTest, IsCopiedBesideTheExecutables) {
  const QByteArray copied = ReadAll(QCoreApplication::applicationDirPath() + QStringLiteral("/transl.dt"));
  EXPECT_EQ(copied, ReadAll(SourceTablePath()));
}

}  // namespace
