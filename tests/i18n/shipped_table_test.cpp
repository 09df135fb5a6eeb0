// The translation table shipped with the program.
#include "i18n/textlines.h"
#include "i18n/translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SourceTablePath() { return QStringLiteral(VARNOQUE_SOURCE_DIR "/src/i18n/transl.dt"); }

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

TEST(ShippedTableTest, HasEnglishAndGermanWithEveryTextTranslatedOnce) {
  const QStringList lines = SplitTextLines(QString::fromUtf8(ReadAll(SourceTablePath())));
  ASSERT_EQ(lines.value(0), QStringLiteral("2"));
  ASSERT_EQ((lines.size() - 1) % 2, 0) << "a group is incomplete";
  QSet<QString> keys;
  for (qsizetype line = 1; line + 1 < lines.size(); line += 2) {
    const QString& english = lines[line];
    EXPECT_FALSE(english.isEmpty()) << "line " << line + 1;
    EXPECT_FALSE(lines[line + 1].isEmpty()) << english.toStdString();
    EXPECT_EQ(english, english.trimmed()) << english.toStdString();
    EXPECT_FALSE(keys.contains(english)) << "listed twice: " << english.toStdString();
    keys.insert(english);
  }
  TTranslationCatalogue catalogue;
  catalogue.Load(SourceTablePath(), QStringLiteral("de"));
  EXPECT_EQ(catalogue.LoadFailure(), QString());
  ASSERT_EQ(catalogue.LanguageCount(), 2);
  EXPECT_EQ(catalogue.LanguageName(0), QStringLiteral("English"));
  EXPECT_EQ(catalogue.LanguageCode(0), QStringLiteral("en"));
  EXPECT_EQ(catalogue.LanguageName(1), QStringLiteral("Deutsch"));
  EXPECT_EQ(catalogue.LanguageCode(1), QStringLiteral("de"));
}

// The texts the text files, the comparison and the main window's captions pass to Translate.
const char* const RequiredTexts[] = {
    "File does not exist.", "Empty file.", "UTF-8 BOM detected.", "UTF-16 LE BOM detected.",
    "UTF-16 BE BOM detected.", "Contains null bytes -> binary.", "Valid UTF-8 (no BOM).",
    "ANSI text (no binary sequences detected).", "Cannot open the file \"%s\": %s",
    "Cannot read the file \"%s\": %s", "Cannot write the file \"%s\": %s",
    "The file \"%s\" is not valid UTF-8 (line %d).", "The file \"%s\" is not valid UTF-16 (line %d).",
    "Save Left File...", "Save Right File...", "Left file saved as %s.", "Right file saved as %s.",
    "Save is not available in folder comparison mode.", "Load and compare the specified files?",
    "Current changes will be lost.", "Please select both left and right files or folders.",
    "Both paths must be folders for folder comparison.", "Please select both left and right files.",
    "Both paths must be existing files for files comparison.", "Left file does not exist.",
    "Right file does not exist.", "The files are identical.",
    "%d lines (left file) vs %d lines (right file).", "No comparable lines.",
    "Equal lines: %d of %d (%.1f%%). Different lines: %d.", "Compared:",
    "Equal lines: %d of %d (%.1f%%).", "Different lines: %d.",
    "Folder comparison mode: no file contents loaded.", "No files are loaded.", "Ready.",
    "Compare Automatically", "Compare As Text-based Files", "File", "Compare", "Browse", "Edit",
    "Tools", "Help", "Files or Folders:", "Double-click on a cell to start editing", "Load and Compare",
    "Automatically", "As Text-based Files", "As Complex Documents (e.g. PDF, DOCX etc.) with TIKA",
    "As Folders", "Set Left Text...", "Set Right Text...", "Save Left Text As...",
    "Save Right Text As...", "Previous Difference", "Next Difference", "First Difference",
    "Last Difference", "Copy to Right", "Copy to Left", "Copy All to Right", "Copy All to Left",
    "Undo Last Change", "Settings...", "About...", "As Complex Documents with TIKA", "Exit",
    "Edit Selected...", "Language", "Tutorial", "Website", "Support", "Select 2 Files or 2 Folders",
    "Then click on \"Compare\"", "Version:", "Website:"};

TEST(ShippedTableTest, ListsEveryRequiredText) {
  const QStringList lines = SplitTextLines(QString::fromUtf8(ReadAll(SourceTablePath())));
  QSet<QString> keys;
  for (qsizetype line = 1; line < lines.size(); line += 2) keys.insert(lines[line]);
  for (const char* text : RequiredTexts)
    EXPECT_TRUE(keys.contains(QString::fromUtf8(text))) << "missing: " << text;
}

TEST(ShippedTableTest, IsCopiedBesideTheExecutables) {
  const QByteArray copied =
      ReadAll(QCoreApplication::applicationDirPath() + QStringLiteral("/transl.dt"));
  EXPECT_EQ(copied, ReadAll(SourceTablePath()));
}

}  // namespace
