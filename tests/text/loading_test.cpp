#include "text/textfile.h"

#include "common/varnoqueerror.h"
#include "text/tempfolder.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

// The writer the save command picks: UTF-8 read without a mark is written without one.
const TEncoding& WriterFor(const TDetectedEncoding& detected) {
  static const TUTF8NoBOMEncoding utf8NoBom;
  if (detected.Encoding == &TEncoding::UTF8() && !detected.HasBOM) return utf8NoBom;
  return *detected.Encoding;
}

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
  return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text);
}

struct TRoundTripCase {
  const char* Name;
  QByteArray File;
  const TEncoding* Encoding;
  bool HasBOM;
  const char* EncodingName;
  QStringList Lines;
  QByteArray Saved;  // the lines written back unchanged
};

void PrintTo(const TRoundTripCase& c, std::ostream* os) { *os << c.Name; }

class RoundTripTest : public ::testing::TestWithParam<TRoundTripCase> {
protected:
  TTempFolder FFolder;
};

TEST_P(RoundTripTest, LoadsAndWritesBackInTheSameEncoding) {
  const TRoundTripCase& c = GetParam();
  const QString path = FFolder.Write(QStringLiteral("side.txt"), c.File);
  QStringList lines{QStringLiteral("previous content")};
  const TDetectedEncoding loaded = LoadTextFile(path, lines);
  EXPECT_EQ(loaded.Encoding, c.Encoding);
  EXPECT_EQ(loaded.HasBOM, c.HasBOM);
  EXPECT_EQ(loaded.Name, QString::fromLatin1(c.EncodingName));
  EXPECT_EQ(lines, c.Lines);

  // Lines kept as views into their decoded text are the same lines.
  QStringList views;
  QString storage;
  const TDetectedEncoding viewed = LoadTextFile(path, views, &storage);
  EXPECT_EQ(viewed.Name, loaded.Name);
  EXPECT_EQ(views, c.Lines);

  const TDetectedEncoding detected = DetectEncoding(path);
  EXPECT_EQ(detected.Encoding, loaded.Encoding);
  EXPECT_EQ(detected.Name, loaded.Name);

  const QString saved = FFolder.Path(QStringLiteral("saved.txt"));
  WriteTextFile(saved, lines, WriterFor(loaded));
  EXPECT_EQ(TTempFolder::Read(saved).toHex(' '), c.Saved.toHex(' '));
}

const TEncoding* const Ansi = &TEncoding::ANSI();
const TEncoding* const Utf8 = &TEncoding::UTF8();

INSTANTIATE_TEST_SUITE_P(
    Files, RoundTripTest,
    ::testing::Values(
        TRoundTripCase{"Empty", "", Ansi, false, "ANSI", {}, ""},
        TRoundTripCase{"Utf8BomOnly", "\xEF\xBB\xBF", Utf8, true, "UTF-8 with BOM", {}, "\xEF\xBB\xBF"},
        TRoundTripCase{"Utf16LeBomOnly", "\xFF\xFE", &TEncoding::Unicode(), true, "UTF-16 LE with BOM",
                       {}, "\xFF\xFE"},
        TRoundTripCase{"AsciiLf", "a\nb\n", Ansi, false, "ANSI/ASCII", {"a", "b"}, "a\r\nb\r\n"},
        TRoundTripCase{"AsciiNoFinalBreak", "a\nb", Ansi, false, "ANSI/ASCII", {"a", "b"}, "a\r\nb\r\n"},
        TRoundTripCase{"AsciiCr", "a\rb\r", Ansi, false, "ANSI/ASCII", {"a", "b"}, "a\r\nb\r\n"},
        TRoundTripCase{"AsciiCrLf", "a\r\nb\r\n", Ansi, false, "ANSI/ASCII", {"a", "b"}, "a\r\nb\r\n"},
        TRoundTripCase{"AsciiLfCr", "a\n\rb", Ansi, false, "ANSI/ASCII", {"a", "", "b"},
                       "a\r\n\r\nb\r\n"},
        TRoundTripCase{"OnlyCrLf", "\r\n", Ansi, false, "ANSI/ASCII", {""}, "\r\n"},
        TRoundTripCase{"ControlCharactersStay", "a\x0C\x01" "b\t", Ansi, false, "ANSI/ASCII",
                       {"a\x0C\x01" "b\t"}, "a\x0C\x01" "b\t\r\n"},
        TRoundTripCase{"Utf8NoBom", "caf\xC3\xA9\nx", Utf8, false, "UTF-8", {u"café"_qs, "x"},
                       "caf\xC3\xA9\r\nx\r\n"},
        TRoundTripCase{"Utf8Bom", "\xEF\xBB\xBF\xE2\x82\xAC\n", Utf8, true, "UTF-8 with BOM", {u"€"_qs},
                       "\xEF\xBB\xBF\xE2\x82\xAC\r\n"},
        // Only the file's own mark is removed; a second one is text.
        TRoundTripCase{"Utf8SecondBomStays", "\xEF\xBB\xBF\xEF\xBB\xBF" "A", Utf8, true,
                       "UTF-8 with BOM", {u"\uFEFFA"_qs}, "\xEF\xBB\xBF\xEF\xBB\xBF" "A\r\n"},
        TRoundTripCase{"Utf16Le", Utf16(u"café\n😀"_qs, QStringConverter::Utf16LE), &TEncoding::Unicode(),
                       true, "UTF-16 LE with BOM", {u"café"_qs, u"😀"_qs},
                       Utf16(u"café\r\n😀\r\n"_qs, QStringConverter::Utf16LE)},
        TRoundTripCase{"Utf16Be", Utf16(u"a\rß"_qs, QStringConverter::Utf16BE),
                       &TEncoding::BigEndianUnicode(), true, "UTF-16 BE with BOM", {"a", u"ß"_qs},
                       Utf16(u"a\r\nß\r\n"_qs, QStringConverter::Utf16BE)},
        TRoundTripCase{"Ansi", "caf\xE9 \x80\n", Ansi, false, "ANSI", {u"café €"_qs}, "caf\xE9 \x80\r\n"},
        TRoundTripCase{"CutUtf8IsAnsi", "\xC3", Ansi, false, "ANSI", {u"Ã"_qs}, "\xC3\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

class SplitLinesTest
    : public ::testing::TestWithParam<std::pair<QString, QStringList>> {};

TEST_P(SplitLinesTest, BreaksAtCrLfLfAndCr) {
  EXPECT_EQ(SplitLines(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, SplitLinesTest,
    ::testing::Values(std::pair{QString(), QStringList{}}, std::pair{u"a"_qs, QStringList{"a"}},
                      std::pair{u"a\n"_qs, QStringList{"a"}}, std::pair{u"a\r"_qs, QStringList{"a"}},
                      std::pair{u"a\r\n"_qs, QStringList{"a"}}, std::pair{u"\n"_qs, QStringList{""}},
                      std::pair{u"\n\n"_qs, QStringList{"", ""}},
                      std::pair{u"a\n\rb"_qs, QStringList{"a", "", "b"}},
                      std::pair{u"a\r\rb"_qs, QStringList{"a", "", "b"}},
                      std::pair{u"a\r\n\r\nb"_qs, QStringList{"a", "", "b"}},
                      std::pair{u"a\n\r"_qs, QStringList{"a", ""}},
                      std::pair{u"\u2028a\x0B"_qs, QStringList{u"\u2028a\x0B"_qs}}));

struct TBadFileCase {
  const char* Name;
  QByteArray File;
  const char* Problem;  // what the message says, with the line
};

void PrintTo(const TBadFileCase& c, std::ostream* os) { *os << c.Name; }

class DecodingFailureTest : public ::testing::TestWithParam<TBadFileCase> {
protected:
  TTempFolder FFolder;
};

TEST_P(DecodingFailureTest, RaisesErrorNamingFileAndLeavesLinesUnchanged) {
  const TBadFileCase& c = GetParam();
  const QString path = FFolder.Write(QStringLiteral("broken.txt"), c.File);
  QStringList lines{QStringLiteral("kept")};
  try {
    LoadTextFile(path, lines);
    FAIL() << "no error raised";
  } catch (const EVarnoqueError& error) {
    EXPECT_EQ(error.Message(),
              QStringLiteral("The file \"%1\" is not valid %2.").arg(path, QString::fromLatin1(c.Problem)));
  }
  EXPECT_EQ(lines, QStringList{QStringLiteral("kept")});
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodingFailureTest,
    ::testing::Values(
        TBadFileCase{"BomThenInvalidByte", "\xEF\xBB\xBFok\n\xFF", "UTF-8 (line 2)"},
        TBadFileCase{"BomThenLatin1", "\xEF\xBB\xBF" "caf\xE9", "UTF-8 (line 1)"},
        TBadFileCase{"BomThenOverlong", "\xEF\xBB\xBF\xC0\x80", "UTF-8 (line 1)"},
        TBadFileCase{"BomThenCutSequence", "\xEF\xBB\xBF" "a\r\nb\r\xE2\x82", "UTF-8 (line 3)"},
        TBadFileCase{"BomThenLeadF5", "\xEF\xBB\xBF\xF5\x80\x80\x80", "UTF-8 (line 1)"},
        // These pass the pattern test, so the file counts as UTF-8 without a mark.
        TBadFileCase{"Overlong", "a\xC0\x80", "UTF-8 (line 1)"},
        TBadFileCase{"EncodedSurrogate", "\xC3\xA9\n\n\xED\xA0\x80", "UTF-8 (line 3)"},
        TBadFileCase{"AboveLastCodePoint", "\xF4\x90\x80\x80", "UTF-8 (line 1)"},
        TBadFileCase{"Utf16OddLength", QByteArray("\xFF\xFE" "a\0\n\0b", 7), "UTF-16 (line 2)"},
        TBadFileCase{"Utf16LoneHigh", QByteArray("\xFF\xFE\x3D\xD8" "a\0", 6), "UTF-16 (line 1)"},
        TBadFileCase{"Utf16HighAtEnd", QByteArray("\xFF\xFE" "a\0\n\0\x3D\xD8", 8), "UTF-16 (line 2)"},
        TBadFileCase{"Utf16BeLoneLow", QByteArray("\xFE\xFF\xDE\x00", 4), "UTF-16 (line 1)"}),
    [](const auto& info) { return std::string(info.param.Name); });

class LoadFailureTest : public ::testing::Test {
protected:
  void ExpectErrorNaming(const QString& path, const QString& start) {
    QStringList lines{QStringLiteral("kept")};
    try {
      LoadTextFile(path, lines);
      ADD_FAILURE() << "no error raised for " << path.toStdString();
    } catch (const EVarnoqueError& error) {
      EXPECT_TRUE(error.Message().startsWith(start.arg(path))) << error.what();
    }
    EXPECT_EQ(lines, QStringList{QStringLiteral("kept")});
  }
  TTempFolder FFolder;
};

TEST_F(LoadFailureTest, MissingFileOrFolderCannotBeOpened) {
  ExpectErrorNaming(FFolder.Path(QStringLiteral("absent.txt")), QStringLiteral("Cannot open the file \"%1\": "));
  ExpectErrorNaming(FFolder.Path(QStringLiteral(".")), QStringLiteral("Cannot open the file \"%1\": "));
}

TEST_F(LoadFailureTest, ReadErrorIsRaised) {
  ExpectErrorNaming(QStringLiteral("/proc/self/mem"), QStringLiteral("Cannot read the file \"%1\": "));
}

TEST_F(LoadFailureTest, UnreadableFileIsRaised) {
  if (!PermissionsApply()) GTEST_SKIP() << "permission bits do not stop root";
  const QString path = FFolder.Write(QStringLiteral("locked.txt"), "text");
  QFile::setPermissions(path, QFileDevice::Permissions());
  ExpectErrorNaming(path, QStringLiteral("Cannot open the file \"%1\": "));
}

TEST(DetectEncodingTest, PureAsciiAfterUtf8TestsWholeFile) {
  // The multi-byte sequence lies far beyond any sample size.
  const QByteArray late = QByteArray(100000, 'a') + "\xC3\xA9";
  EXPECT_EQ(DetectEncodingOfBytes(late).Name, QStringLiteral("UTF-8"));
  EXPECT_EQ(DetectEncodingOfBytes(late + "\xE9").Name, QStringLiteral("ANSI"));
  EXPECT_EQ(DetectEncodingOfBytes(QByteArray(100001, 'a')).Name, QStringLiteral("ANSI/ASCII"));
}

}  // namespace
