#include "text/textfile.h"

#include "common/varnoqueerror.h"
#include "i18n/translations.h"
#include "text/tempfolder.h"

#include <gtest/gtest.h>

namespace {

struct TUtf8Case {
  const char* Name;
  QByteArray Bytes;
  bool Valid;
};

void PrintTo(const TUtf8Case& c, std::ostream* os) { *os << c.Name; }

class IsValidUtf8Test : public ::testing::TestWithParam<TUtf8Case> {};

TEST_P(IsValidUtf8Test, ChecksLeadAndContinuationPatterns) {
  const TUtf8Case& c = GetParam();
  EXPECT_EQ(IsValidUtf8(c.Bytes.constData(), c.Bytes.size()), c.Valid);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, IsValidUtf8Test,
    ::testing::Values(TUtf8Case{"Empty", "", false}, TUtf8Case{"PureAscii", "plain text\n", false},
                      TUtf8Case{"TwoByte", "\xC3\xA9", true},
                      TUtf8Case{"ThreeByteAfterLongAscii", QByteArray(37, 'a') + "\xE2\x82\xAC", true},
                      TUtf8Case{"FourByte", "\xF0\x9F\x98\x80", true},
                      TUtf8Case{"Latin1Byte", "\xE9", false},
                      TUtf8Case{"SequenceCutAtEnd", "ab\xE2\x82", false},
                      TUtf8Case{"LeadAtVeryEnd", "\xC3\xA9\xC3", false},
                      TUtf8Case{"BadContinuation", "\xE2\x82\x41", false},
                      TUtf8Case{"LoneContinuation", "\xC3\xA9\x80", false},
                      TUtf8Case{"LeadF8", "\xF8\x80\x80\x80\x80", false},
                      // The pattern test lets these through; the decoder rejects them.
                      TUtf8Case{"Overlong", "\xC0\x80", true},
                      TUtf8Case{"EncodedSurrogate", "\xED\xA0\x80", true},
                      TUtf8Case{"LeadF5", "\xF5\x80\x80\x80", true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IsValidUtf8Test, LooksOnlyAtTheCountGiven) {
  const QByteArray bytes = "\xC3\xA9\xFF";
  EXPECT_TRUE(IsValidUtf8(bytes.constData(), 2));
  EXPECT_FALSE(IsValidUtf8(bytes.constData(), 3));
}

struct TClassCase {
  const char* Name;
  QByteArray Bytes;
  bool IsText;
  const char* Reason;
};

void PrintTo(const TClassCase& c, std::ostream* os) { *os << c.Name; }

class IsTextFileTest : public ::testing::TestWithParam<TClassCase> {
protected:
  TTempFolder FFolder;
};

TEST_P(IsTextFileTest, FirstMatchingRuleDecides) {
  const TClassCase& c = GetParam();
  const TTextCheck check = IsTextFile(FFolder.Write(QStringLiteral("sample"), c.Bytes));
  EXPECT_EQ(check.IsText, c.IsText);
  EXPECT_EQ(check.Reason, QString::fromUtf8(c.Reason));
}

const QByteArray Ascii4095(4095, 'a');

INSTANTIATE_TEST_SUITE_P(
    Rules, IsTextFileTest,
    ::testing::Values(
        TClassCase{"Empty", "", true, "Empty file."},
        TClassCase{"Utf8BomOnly", "\xEF\xBB\xBF", true, "UTF-8 BOM detected."},
        TClassCase{"Utf8BomBeforeNull", QByteArray("\xEF\xBB\xBF\0x", 5), true, "UTF-8 BOM detected."},
        TClassCase{"Utf16LeBomOnly", "\xFF\xFE", true, "UTF-16 LE BOM detected."},
        TClassCase{"Utf16LeWithNulls", QByteArray("\xFF\xFE" "a\0", 4), true, "UTF-16 LE BOM detected."},
        TClassCase{"Utf16BeBom", QByteArray("\xFE\xFF\0a", 4), true, "UTF-16 BE BOM detected."},
        TClassCase{"Utf16WithoutBom", QByteArray("a\0b\0", 4), false, "Contains null bytes -> binary."},
        TClassCase{"NullLastInSample", Ascii4095 + '\0', false, "Contains null bytes -> binary."},
        TClassCase{"NullBeyondSample", QByteArray(4096, 'a') + '\0', true,
                   "ANSI text (no binary sequences detected)."},
        TClassCase{"ValidUtf8", "caf\xC3\xA9\n", true, "Valid UTF-8 (no BOM)."},
        TClassCase{"Utf8WithFormFeed", "page\x0C" "caf\xC3\xA9", true, "Valid UTF-8 (no BOM)."},
        TClassCase{"Utf8WithEsc", "\x1B[0m \xC3\xA9", true, "Valid UTF-8 (no BOM)."},
        TClassCase{"Utf8CutAtSampleEnd", Ascii4095 + "\xC3\xA9", true,
                   "ANSI text (no binary sequences detected)."},
        TClassCase{"FormFeed", "page one\x0Cpage two", false, "Control byte $0C detected ? binary."},
        TClassCase{"Esc", "\x1B[0m", false, "Control byte $1B detected ? binary."},
        TClassCase{"FirstControlByteNamed", "a\x01\x02", false, "Control byte $01 detected ? binary."},
        TClassCase{"Latin1", "caf\xE9", true, "ANSI text (no binary sequences detected)."},
        TClassCase{"PlainAscii", "a\tb\r\nc\n", true, "ANSI text (no binary sequences detected)."},
        TClassCase{"DelAndHighBytes", "\x7F\x80\xFF", true, "ANSI text (no binary sequences detected)."},
        TClassCase{"ShortBomPrefix", "\xEF\xBB", true, "ANSI text (no binary sequences detected)."}),
    [](const auto& info) { return std::string(info.param.Name); });

class IsTextFileFailureTest : public ::testing::Test {
protected:
  TTempFolder FFolder;
};

TEST_F(IsTextFileFailureTest, MissingFileOrFolderIsNotText) {
  for (const QString& path : {FFolder.Path(QStringLiteral("absent.txt")), FFolder.Path(QString())}) {
    const TTextCheck check = IsTextFile(path);
    EXPECT_FALSE(check.IsText);
    EXPECT_EQ(check.Reason, QStringLiteral("File does not exist."));
  }
}

TEST_F(IsTextFileFailureTest, ReadFailureRaisesErrorNamingTheFile) {
  // Reading the process's own memory from offset 0 fails with an I/O error, also for root.
  try {
    IsTextFile(QStringLiteral("/proc/self/mem"));
    FAIL() << "no error raised";
  } catch (const EVarnoqueError& error) {
    EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Cannot read the file \"/proc/self/mem\": ")))
        << error.what();
  }
}

TEST_F(IsTextFileFailureTest, UnopenableFileRaisesErrorNamingTheFile) {
  if (!PermissionsApply()) GTEST_SKIP() << "permission bits do not stop root";
  const QString path = FFolder.Write(QStringLiteral("locked.txt"), "text");
  QFile::setPermissions(path, QFileDevice::Permissions());
  try {
    IsTextFile(path);
    FAIL() << "no error raised";
  } catch (const EVarnoqueError& error) {
    EXPECT_TRUE(error.Message().contains(path)) << error.what();
  }
}

TEST_F(IsTextFileFailureTest, ReasonsFollowTheLanguageButControlByteTextDoesNot) {
  const QString table = FFolder.Write(
      QStringLiteral("transl.dt"),
      "2\nEnglish\nDeutsch\nen\nde\nEmpty file.\nLeere Datei.\n"
      "Control byte $%2.2x detected ? binary.\nSteuerbyte $%2.2x erkannt.\n");
  Catalogue().Load(table, QStringLiteral("de"));
  const TTextCheck empty = IsTextFile(FFolder.Write(QStringLiteral("empty"), ""));
  const TTextCheck control = IsTextFile(FFolder.Write(QStringLiteral("control"), "\x0C"));
  Catalogue() = TTranslationCatalogue();
  EXPECT_EQ(empty.Reason, QStringLiteral("Leere Datei."));
  EXPECT_EQ(control.Reason, QStringLiteral("Control byte $0C detected ? binary."));
}

}  // namespace
