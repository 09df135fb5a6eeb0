// Damaged translation tables: the window starts in English, and every entry of its Language
// menu (if it has any) can be chosen without a failure.

#include "faults/faultsupport.h"
#include "i18n/translations.h"
#include "support/windowfixture.h"

#include <QMenu>

#include <sys/stat.h>

namespace {

struct TTableCase {
  const char* Name;
  QByteArray Table;
  // The table is kept (and German chosen for the stored code "de"), or dropped for English.
  bool Kept;
};

void PrintTo(const TTableCase& c, std::ostream* os) { *os << c.Name; }

class DamagedTableTest : public WindowTest, public ::testing::WithParamInterface<TTableCase> {
protected:
  void TearDown() override {
    WindowTest::TearDown();
    Catalogue().Load(Path(QStringLiteral("no-table")), QStringLiteral("en"));
  }

  // The catalogue as the program loads it at start, then a new window.
  void StartWith(const QString& tablePath) {
    Catalogue().Load(tablePath, QStringLiteral("de"));
    MakeWindow();
  }

  QString FileMenuTitle() { return TfrmMainTestAccess::FileMenu(*Window)->title(); }

  // Chooses every language the menu offers, ending with the first one.
  void ChooseEveryLanguage() {
    const QList<QAction*> languages = TfrmMainTestAccess::LanguageMenu(*Window)->actions();
    for (QAction* language : languages) language->trigger();
    if (!languages.isEmpty()) languages.first()->trigger();
    EXPECT_TRUE(Ui.Messages.isEmpty()) << Ui.MessageTexts().join(" | ").toStdString();
    EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  }
};

TEST_P(DamagedTableTest, TheWindowStartsAndTheLanguageMenuWorks) {
  const QString table = Write(QStringLiteral("transl.dt"), GetParam().Table);
  StartWith(table);
  EXPECT_EQ(Window->StatusText(), QStringLiteral("Ready."));
  if (GetParam().Kept) {
    EXPECT_EQ(Catalogue().LoadFailure(), QString());
    EXPECT_EQ(FileMenuTitle(), QStringLiteral("Datei"));
  } else {
    EXPECT_FALSE(Catalogue().LoadFailure().isEmpty());
    EXPECT_EQ(Catalogue().CurrentLanguageIndex(), 0);
    EXPECT_EQ(FileMenuTitle(), QStringLiteral("File"));
    EXPECT_TRUE(TfrmMainTestAccess::LanguageMenu(*Window)->actions().isEmpty());
  }
  ChooseEveryLanguage();
  EXPECT_EQ(FileMenuTitle(), QStringLiteral("File")) << "the first language is English";
  CompareTexts("a\n", "b\n");
  EXPECT_TRUE(Window->StatusText().startsWith(QStringLiteral("1 lines (left file) vs 1 lines (right file).")));
}

const QByteArray kGood = "2\nEnglish\nDeutsch\nen\nde\nFile\nDatei\n";

INSTANTIATE_TEST_SUITE_P(
    Tables, DamagedTableTest,
    ::testing::Values(
        TTableCase{"Intact", kGood, true},
        TTableCase{"CodeLineMissing", "2\nEnglish\nDeutsch\nen\n", false},
        TTableCase{"OnlyTheCount", "2\n", false},
        TTableCase{"NegativeCount", "-2\nEnglish\nDeutsch\nen\nde\nFile\nDatei\n", false},
        TTableCase{"HugeCount", "2147483647\nEnglish\nDeutsch\nen\nde\nFile\nDatei\n", false},
        TTableCase{"CountPastThe32Bits", "4294967298\nEnglish\nDeutsch\nen\nde\nFile\nDatei\n", false},
        TTableCase{"CountNotANumber", "two\nEnglish\nDeutsch\nen\nde\nFile\nDatei\n", false},
        TTableCase{"InvalidUtf8", "2\nEnglish\nDeutsch\nen\nde\nFile\nDa\xFF\xFEtei\n", false},
        TTableCase{"EncodedSurrogate", "2\nEnglish\nDeutsch\nen\nde\nFile\nDa\xED\xA0\x80tei\n", false},
        TTableCase{"Empty", "", false},
        TTableCase{"ByteOrderMarkOnly", "\xEF\xBB\xBF", false},
        TTableCase{"NulBytes", QByteArray("2\nEng\0lish\nDeutsch\nen\nde\nFile\nDatei\n", 36), true},
        TTableCase{"ByteOrderMarkAndCrLf", "\xEF\xBB\xBF" "2\r\nEnglish\r\nDeutsch\r\nen\r\nde\r\nFile\r\nDatei\r\n", true},
        TTableCase{"AmpersandsAndEmptyNames", "3\n&English\n\nDeu&&tsch\nen\n\nde\nFile\n\nDatei\n", true}),
    [](const auto& info) { return std::string(info.param.Name); });

// The table is read once at start: a pipe in its place (nobody writing) or a folder of that
// name leaves the program in English without waiting.
TEST_F(DamagedTableTest, APipeOrAFolderInPlaceOfTheTableMeansEnglish) {
  const QString pipe = Path(QStringLiteral("pipe.dt"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
  const QString folder = Path(QStringLiteral("folder.dt"));
  ASSERT_TRUE(QDir().mkpath(folder));
  for (const QString& table : {pipe, folder}) {
    SCOPED_TRACE(table.toStdString());
    const faults::TPipeReleaser releaser(pipe, 5000);
    QElapsedTimer clock;
    clock.start();
    StartWith(table);
    EXPECT_LT(clock.elapsed(), 4000) << "the start waited for a writer of the pipe";
    EXPECT_EQ(FileMenuTitle(), QStringLiteral("File"));
    ChooseEveryLanguage();
  }
}

}  // namespace
