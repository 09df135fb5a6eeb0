#include "i18n/translations.h"

#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CatalogueTest : public ::testing::Test {
protected:
  QString WriteTable(const QByteArray& bytes) {
    const QString path = FDir.filePath(QStringLiteral("transl.dt"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }

  QTemporaryDir FDir;
  TTranslationCatalogue FCatalogue;
};

struct TLoadCase {
  const char* Name;
  QByteArray Table;
  const char* StoredCode;
  int Languages;
  int Index;
  bool Fails;
  const char* ReadyText;  // what Translate("Ready.") gives afterwards
};

void PrintTo(const TLoadCase& c, std::ostream* os) { *os << c.Name; }

class CatalogueLoadTest : public CatalogueTest, public ::testing::WithParamInterface<TLoadCase> {};

TEST_P(CatalogueLoadTest, LoadsTableAndPicksLanguage) {
  const TLoadCase& c = GetParam();
  FCatalogue.Load(WriteTable(c.Table), QString::fromLatin1(c.StoredCode));
  EXPECT_EQ(FCatalogue.LanguageCount(), c.Languages);
  EXPECT_EQ(FCatalogue.CurrentLanguageIndex(), c.Index);
  EXPECT_EQ(!FCatalogue.LoadFailure().isEmpty(), c.Fails) << FCatalogue.LoadFailure().toStdString();
  EXPECT_EQ(FCatalogue.Translate(QStringLiteral("Ready.")), QString::fromUtf8(c.ReadyText));
  // The code that was asked for stays, even when the table lacks it.
  EXPECT_EQ(FCatalogue.CurrentLanguageCode(), QString::fromLatin1(c.StoredCode));
}

const QByteArray German = "2\nEnglish\nDeutsch\nen\nde\nReady.\nBereit.\n";
const char NulInsideCount[] = "2\0x\nEnglish\nDeutsch\nen\nde\nReady.\nBereit.\n";

INSTANTIATE_TEST_SUITE_P(
    Tables, CatalogueLoadTest,
    ::testing::Values(
        TLoadCase{"German", German, "de", 2, 1, false, "Bereit."},
        TLoadCase{"CodeIgnoresCase", German, "DE", 2, 1, false, "Bereit."},
        TLoadCase{"SourceLanguage", German, "en", 2, 0, false, "Ready."},
        TLoadCase{"CodeNotInTable", German, "fr", 2, 0, false, "Ready."},
        TLoadCase{"BomAndCrLf", "\xEF\xBB\xBF" "2\r\nEnglish\r\nDeutsch\r\nen\r\nde\r\nReady.\r\nBereit.",
                  "de", 2, 1, false, "Bereit."},
        TLoadCase{"LoneCr", "2\rEnglish\rDeutsch\ren\rde\rReady.\rBereit.\r", "de", 2, 1, false,
                  "Bereit."},
        TLoadCase{"BlanksAroundCount", " 2 \nEnglish\nDeutsch\nen\nde\nReady.\nBereit.\n", "de", 2, 1,
                  false, "Bereit."},
        TLoadCase{"IncompleteLastGroupIgnored", German + "Exit\n", "de", 2, 1, false, "Bereit."},
        TLoadCase{"FirstMatchingCodeWins",
                  "3\nEnglish\nDeutsch\nSchweizerdeutsch\nen\nde\nDE\nReady.\nBereit.\nGrüezi.\n", "de",
                  3, 1, false, "Bereit."},
        TLoadCase{"ZeroLanguages", "0\nEnglish\n", "de", 0, 0, false, "Ready."},
        TLoadCase{"EmptyFile", "", "de", 0, 0, true, "Ready."},
        TLoadCase{"CountNotANumber", "two\nEnglish\nDeutsch\nen\nde\nReady.\nBereit.\n", "de", 0, 0, true,
                  "Ready."},
        TLoadCase{"NegativeCount", "-2\nEnglish\nDeutsch\nen\nde\nReady.\nBereit.\n", "de", 0, 0, true,
                  "Ready."},
        TLoadCase{"HugeCount", "2147483647\nEnglish\nen\n", "de", 0, 0, true, "Ready."},
        // The integer parser stops at a NUL; the count line must be a number as a whole.
        TLoadCase{"NulInsideCount", QByteArray(NulInsideCount, sizeof NulInsideCount - 1), "de", 0,
                  0, true, "Ready."},
        // A code line is missing: the whole table is dropped, not left with an empty column.
        TLoadCase{"CodeLineMissing", "2\nEnglish\nDeutsch\nen\n", "de", 0, 0, true, "Ready."},
        TLoadCase{"InvalidUtf8", "2\nEnglish\nDeutsch\nen\nde\nReady.\nBereit\xFF\n", "de", 0, 0, true,
                  "Ready."}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CatalogueTest, MissingTableCarriesReasonAndTranslatesNothing) {
  const QString path = FDir.filePath(QStringLiteral("absent/transl.dt"));
  FCatalogue.Load(path, QStringLiteral("de"));
  EXPECT_EQ(FCatalogue.LoadFailure(), QStringLiteral("Cannot find translation file:") + path);
  EXPECT_EQ(FCatalogue.LanguageCount(), 0);
  EXPECT_EQ(FCatalogue.CurrentLanguageIndex(), 0);
  EXPECT_EQ(FCatalogue.Translate(QStringLiteral("Ready.")), QStringLiteral("Ready."));
}

TEST_F(CatalogueTest, FailedReloadDropsEarlierTable) {
  const QString path = WriteTable(German);
  FCatalogue.Load(path, QStringLiteral("de"));
  ASSERT_EQ(FCatalogue.LanguageCount(), 2);
  QFile::remove(path);
  FCatalogue.Load(path, QStringLiteral("de"));
  EXPECT_EQ(FCatalogue.LanguageCount(), 0);
  EXPECT_EQ(FCatalogue.Translate(QStringLiteral("Ready.")), QStringLiteral("Ready."));
}

TEST_F(CatalogueTest, NoStoredCodeMeansSystemLanguage) {
  FCatalogue.Load(WriteTable(German), QString());
  EXPECT_EQ(FCatalogue.CurrentLanguageCode(), SystemLanguageCode());
}

// Rows: names, codes, "Ready.", "Exit" without translation, "Same" twice; "Tail" starts a group
// that is never completed.
const QByteArray Rows =
    "2\nEnglish\nDeutsch\nen\nde\nReady.\nBereit.\nExit\n\nSame\nErst\nSame\nZweit\nTail\n";

class TranslateTest : public CatalogueTest,
                      public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(TranslateTest, FindsTheFirstExactRow) {
  FCatalogue.Load(WriteTable(Rows), QStringLiteral("de"));
  ASSERT_EQ(FCatalogue.CurrentLanguageIndex(), 1);
  EXPECT_EQ(FCatalogue.Translate(QString::fromUtf8(GetParam().first)),
            QString::fromUtf8(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Rows, TranslateTest,
                         ::testing::Values(std::pair{"Ready.", "Bereit."},
                                           std::pair{"ready.", "ready."},  // letter case matters
                                           std::pair{"Ready. ", "Ready. "},
                                           std::pair{"Exit", "Exit"},  // empty entry: English
                                           std::pair{"Same", "Erst"},  // first row wins
                                           std::pair{"Tail", "Tail"},  // incomplete group
                                           std::pair{"English", "Deutsch"},
                                           std::pair{"Unknown", "Unknown"},
                                           std::pair{"", ""}));

TEST_F(CatalogueTest, SwitchingLanguageTakesEffectAtOnce) {
  FCatalogue.Load(WriteTable(Rows), QStringLiteral("en"));
  EXPECT_EQ(FCatalogue.Translate(QStringLiteral("Ready.")), QStringLiteral("Ready."));
  FCatalogue.SetCurrentLanguage(1);
  EXPECT_EQ(FCatalogue.CurrentLanguageCode(), QStringLiteral("de"));
  EXPECT_EQ(FCatalogue.Translate(QStringLiteral("Ready.")), QStringLiteral("Bereit."));
  FCatalogue.SetCurrentLanguage(2);  // no such column: nothing changes
  FCatalogue.SetCurrentLanguage(-1);
  EXPECT_EQ(FCatalogue.CurrentLanguageIndex(), 1);
  FCatalogue.SetCurrentLanguage(0);
  EXPECT_EQ(FCatalogue.Translate(QStringLiteral("Ready.")), QStringLiteral("Ready."));
}

TEST_F(CatalogueTest, NamesAndCodesOutsideTheTableAreEmpty) {
  FCatalogue.Load(WriteTable(Rows), QStringLiteral("de"));
  EXPECT_EQ(FCatalogue.LanguageName(1), QStringLiteral("Deutsch"));
  EXPECT_EQ(FCatalogue.LanguageCode(0), QStringLiteral("en"));
  EXPECT_EQ(FCatalogue.LanguageName(2), QString());
  EXPECT_EQ(FCatalogue.LanguageCode(-1), QString());
}

class PrimaryLanguageTest : public ::testing::TestWithParam<std::pair<int, const char*>> {};

TEST_P(PrimaryLanguageTest, MapsLowEightBits) {
  EXPECT_EQ(LanguageCodeForPrimaryLanguage(GetParam().first), QString::fromLatin1(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PrimaryLanguageTest,
    ::testing::Values(std::pair{0x01, "ar"}, std::pair{0x04, "cn"}, std::pair{0x05, "cs"},
                      std::pair{0x07, "de"}, std::pair{0x08, "el"}, std::pair{0x0A, "es"},
                      std::pair{0x0C, "fr"}, std::pair{0x0E, "hu"}, std::pair{0x10, "it"},
                      std::pair{0x11, "jp"}, std::pair{0x12, "kr"}, std::pair{0x13, "nl"},
                      std::pair{0x15, "pl"}, std::pair{0x16, "pt"}, std::pair{0x1F, "tr"},
                      std::pair{0x09, "en"}, std::pair{0x1D, "en"}, std::pair{0x00, "en"},
                      std::pair{0x0407, "de"}, std::pair{0x0411, "jp"}, std::pair{0x0804, "cn"}));

class LocaleNameTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(LocaleNameTest, MapsToTheSameCodes) {
  EXPECT_EQ(LanguageCodeForLocaleName(QString::fromLatin1(GetParam().first)),
            QString::fromLatin1(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(
    Names, LocaleNameTest,
    ::testing::Values(std::pair{"ja-JP", "jp"}, std::pair{"ja_JP", "jp"}, std::pair{"zh-Hans-CN", "cn"},
                      std::pair{"zh-TW", "cn"}, std::pair{"ko-KR", "kr"}, std::pair{"pt-BR", "pt"},
                      std::pair{"de-CH", "de"}, std::pair{"tr", "tr"}, std::pair{"en-GB", "en"},
                      std::pair{"sv-SE", "en"}, std::pair{"C", "en"}, std::pair{"", "en"}));

class KeyStoreTest : public ::testing::Test {
protected:
  void SetUp() override { Store().remove(QStringLiteral("CurrentLanguage")); }
  void TearDown() override {
    Store().remove(QStringLiteral("CurrentLanguage"));
    Catalogue() = TTranslationCatalogue();
  }
  static QSettings& Store() {
    static QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnoque"),
                           QStringLiteral("Varnoque"));
    store.sync();
    return store;
  }
};

TEST_F(KeyStoreTest, SavedCodeIsReadBackFromTheIsolatedStore) {
  EXPECT_EQ(StoredLanguageCode(), QString());
  ASSERT_TRUE(SaveStoredLanguageCode(QStringLiteral("de")));
  EXPECT_EQ(StoredLanguageCode(), QStringLiteral("de"));
  EXPECT_TRUE(QDir::cleanPath(Store().fileName()).startsWith(QDir::cleanPath(testenv::ConfigHome())));
}

TEST_F(KeyStoreTest, ValueOfAnotherTypeIsIgnored) {
  Store().setValue(QStringLiteral("CurrentLanguage"), QStringList{"de", "fr"});
  Store().sync();
  EXPECT_EQ(StoredLanguageCode(), QString());
  Store().setValue(QStringLiteral("CurrentLanguage"), QByteArray("de"));
  Store().sync();
  EXPECT_EQ(StoredLanguageCode(), QString());
}

// The build copies the shipped table beside the executables, the tests' included.
TEST_F(KeyStoreTest, LoadTranslationsUsesStoredCodeAndTableBesideExecutable) {
  ASSERT_TRUE(SaveStoredLanguageCode(QStringLiteral("DE")));
  LoadTranslations();
  EXPECT_EQ(Catalogue().LoadFailure(), QString());
  EXPECT_EQ(Catalogue().CurrentLanguageIndex(), 1);
  EXPECT_EQ(Catalogue().CurrentLanguageCode(), QStringLiteral("DE"));
  EXPECT_EQ(Translate(QStringLiteral("Ready.")), QStringLiteral("Bereit."));
}

}  // namespace
