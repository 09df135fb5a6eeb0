#include "settings/settingsfile.h"

#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <ostream>
#include <vector>

namespace {

// Builds a settings file byte by byte, independently of the writer, and remembers where each
// field and each history entry ends.
class TBytes {
public:
  TBytes& Int32(qint64 value) {
    const quint32 bits = quint32(value);
    for (int shift = 0; shift < 32; shift += 8) FData.append(char((bits >> shift) & 0xFF));
    return *this;
  }
  TBytes& Byte(quint8 value) {
    FData.append(char(value));
    return *this;
  }
  TBytes& Str(const QString& text) {
    Int32(text.size());
    for (QChar c : text) FData.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return *this;
  }
  qsizetype Size() const { return FData.size(); }
  const QByteArray& Data() const { return FData; }

private:
  QByteArray FData;
};

// One step of reading: where it ends, how many fields are complete after it, what it sets.
struct TStep {
  qsizetype End;
  int FieldsAfter;
  std::function<void(TSettingsRecord&)> Apply;
};

const QString NonLatin = QString::fromUtf8("\xD0\xA8\xD1\x80\xD0\xB8\xD1\x84\xD1\x82 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");

// The caller's defaults: window placement and column widths differ from everything the fixture holds.
TSettingsRecord CallerDefaults() {
  TSettingsRecord d;
  d.WindowLeft = 111;
  d.WindowTop = 222;
  d.WindowWidth = 1138;
  d.WindowHeight = 606;
  d.ColWidth1 = 432;
  d.ColWidth2 = 573;
  return d;
}

// The fixture record and its file, built side by side.
struct TFixture {
  TSettingsRecord Expected = CallerDefaults();
  TBytes Bytes;
  std::vector<TStep> Steps;
  int Fields = 0;

  void Field(const std::function<void(TBytes&)>& write, std::function<void(TSettingsRecord&)> apply) {
    write(Bytes);
    apply(Expected);
    Steps.push_back({Bytes.Size(), ++Fields, std::move(apply)});
  }

  void History(QStringList TSettingsRecord::*member, const QStringList& entries) {
    Field([&](TBytes& b) { b.Int32(entries.size()); }, [member](TSettingsRecord& r) { (r.*member).clear(); });
    for (const QString& entry : entries) {
      Bytes.Str(entry);
      auto apply = [member, entry](TSettingsRecord& r) { (r.*member).append(entry); };
      apply(Expected);
      Steps.push_back({Bytes.Size(), Fields, apply});
    }
    Steps.push_back({Bytes.Size(), ++Fields, [](TSettingsRecord&) {}});
  }

  TFixture() {
    auto none = [](TSettingsRecord&) {};
    Field([](TBytes& b) { b.Int32(1); }, none);
    Field([](TBytes& b) { b.Str("C:\\Left"); }, [](TSettingsRecord& r) { r.LeftOpenFolder = "C:\\Left"; });
    Field([](TBytes& b) { b.Str(""); }, [](TSettingsRecord& r) { r.RightOpenFolder = ""; });
    Field([](TBytes& b) { b.Byte(1); }, [](TSettingsRecord& r) { r.IgnoreWhitespace = true; });
    Field([](TBytes& b) { b.Byte(0); }, [](TSettingsRecord& r) { r.IgnoreWSAmount = false; });
    Field([](TBytes& b) { b.Byte(1); }, [](TSettingsRecord& r) { r.IgnoreLeadingWS = true; });
    Field([](TBytes& b) { b.Byte(0); }, [](TSettingsRecord& r) { r.IgnoreTrailingWS = false; });
    Field([](TBytes& b) { b.Byte(1); }, [](TSettingsRecord& r) { r.IgnoreBlankLines = true; });
    Field([](TBytes& b) { b.Byte(1); }, [](TSettingsRecord& r) { r.IgnoreCase = true; });
    Field([](TBytes& b) { b.Byte(0); }, [](TSettingsRecord& r) { r.ShowLineNumbers = false; });
    Field([](TBytes& b) { b.Byte(0); }, [](TSettingsRecord& r) { r.ShowGridLines = false; });
    Field([](TBytes& b) { b.Int32(0x000000FF); }, [](TSettingsRecord& r) { r.FontColor = 0x000000FF; });
    Field([](TBytes& b) { b.Int32(13); }, [](TSettingsRecord& r) { r.FontSize = 13; });
    Field([](TBytes& b) { b.Str(NonLatin); }, [](TSettingsRecord& r) { r.FontName = NonLatin; });
    Field([](TBytes& b) { b.Int32(0x00010203); }, [](TSettingsRecord& r) { r.ColorAddedLines = 0x00010203; });
    Field([](TBytes& b) { b.Int32(0x00040506); }, [](TSettingsRecord& r) { r.ColorRemovedLines = 0x00040506; });
    Field([](TBytes& b) { b.Int32(0x00070809); }, [](TSettingsRecord& r) { r.ColorChangedLines = 0x00070809; });
    Field([](TBytes& b) { b.Int32(0xFF00000F); }, [](TSettingsRecord& r) { r.ColorDifferentTextInLine = qint32(0xFF00000Fu); });
    History(&TSettingsRecord::LeftHistory, {"/home/a.txt", NonLatin, "C:\\x y\\z"});
    History(&TSettingsRecord::RightHistory, {});
    Field([](TBytes& b) { b.Byte(1); }, [](TSettingsRecord& r) { r.Maximized = true; });
    Field([](TBytes& b) { b.Int32(-8); }, [](TSettingsRecord& r) { r.WindowLeft = -8; });
    Field([](TBytes& b) { b.Int32(20); }, [](TSettingsRecord& r) { r.WindowTop = 20; });
    Field([](TBytes& b) { b.Int32(800); }, [](TSettingsRecord& r) { r.WindowWidth = 800; });
    Field([](TBytes& b) { b.Int32(600); }, [](TSettingsRecord& r) { r.WindowHeight = 600; });
    Field([](TBytes& b) { b.Int32(300); }, [](TSettingsRecord& r) { r.ColWidth1 = 300; });
    Field([](TBytes& b) { b.Int32(400); }, [](TSettingsRecord& r) { r.ColWidth2 = 400; });
  }

  // What reading the first `size` bytes must give.
  TSettingsReadResult ExpectedPrefix(qsizetype size) const {
    TSettingsReadResult result{CallerDefaults(), 0};
    for (const TStep& step : Steps) {
      if (step.End > size) break;
      step.Apply(result.Record);
      result.FieldsRead = step.FieldsAfter;
    }
    return result;
  }
};

TEST(SettingsRecord, DefaultsAreTheDescribedOnes) {
  const TSettingsRecord d;
  EXPECT_EQ(d.Version, 1);
  EXPECT_EQ(quint32(d.FontColor), 0xFF000008u);
  EXPECT_EQ(d.FontSize, 11);
  EXPECT_EQ(d.FontName, "Courier New");
  EXPECT_TRUE(d.ShowLineNumbers && d.ShowGridLines);
  EXPECT_FALSE(d.IgnoreCase || d.IgnoreWhitespace || d.IgnoreWSAmount || d.IgnoreLeadingWS || d.IgnoreTrailingWS ||
               d.IgnoreBlankLines || d.Maximized);
  EXPECT_EQ(std::vector<qint32>({d.ColorAddedLines, d.ColorRemovedLines, d.ColorChangedLines, d.ColorDifferentTextInLine}),
            std::vector<qint32>({0x00FFF0E0, 0x00E0F0FF, 0x00E0E0FF, 0x0000FFFF}));
}

TEST(SettingsRecord, ReadsTheHandBuiltFile) {
  const TFixture f;
  const TSettingsReadResult read = ReadSettingsRecord(f.Bytes.Data(), CallerDefaults());
  EXPECT_EQ(read.FieldsRead, SettingsFieldCount);
  EXPECT_EQ(read.Record, f.Expected);
}

TEST(SettingsRecord, WritesTheHandBuiltFileByteForByte) {
  const TFixture f;
  EXPECT_EQ(WriteSettingsRecord(f.Expected).toHex().toStdString(), f.Bytes.Data().toHex().toStdString());
}

TEST(SettingsRecord, TruncationAtEveryOffsetKeepsTheFieldsBeforeIt) {
  const TFixture f;
  const QByteArray& all = f.Bytes.Data();
  for (qsizetype size = 0; size <= all.size(); ++size) {
    const TSettingsReadResult want = f.ExpectedPrefix(size);
    const TSettingsReadResult got = ReadSettingsRecord(QByteArrayView(all).first(size), CallerDefaults());
    ASSERT_EQ(got.FieldsRead, want.FieldsRead) << "at " << size << " bytes";
    ASSERT_EQ(got.Record, want.Record) << "at " << size << " bytes";
  }
}

TEST(SettingsRecord, VersionOtherThanOneIsReadLikeOne) {
  TFixture f;
  QByteArray bytes = f.Bytes.Data();
  bytes[0] = char(7);
  const TSettingsReadResult read = ReadSettingsRecord(bytes, CallerDefaults());
  EXPECT_EQ(read.FieldsRead, SettingsFieldCount);
  EXPECT_EQ(read.Record, f.Expected);
}

TEST(SettingsRecord, AnyNonZeroByteReadsTrue) {
  const QByteArray bytes = TBytes().Int32(1).Str("").Str("").Byte(0x80).Byte(0).Byte(0xFF).Data();
  const TSettingsReadResult read = ReadSettingsRecord(bytes, TSettingsRecord());
  EXPECT_EQ(read.FieldsRead, 6);
  EXPECT_TRUE(read.Record.IgnoreWhitespace);
  EXPECT_FALSE(read.Record.IgnoreWSAmount);
  EXPECT_TRUE(read.Record.IgnoreLeadingWS);
}

// The head of a record up to and including field 18.
TBytes HeadThroughColours() {
  TBytes b;
  b.Int32(1).Str("L").Str("R");
  for (int k = 0; k < 8; ++k) b.Byte(0);
  b.Int32(0).Int32(11).Str("F").Int32(1).Int32(2).Int32(3).Int32(4);
  return b;
}

TEST(SettingsRecord, NegativeLengthsAndCountsReadAsEmptyAndReadingGoesOn) {
  TBytes b;
  b.Int32(1).Int32(-5).Str("R");
  for (int k = 0; k < 8; ++k) b.Byte(1);
  b.Int32(0).Int32(11).Int32(-1).Int32(1).Int32(2).Int32(3).Int32(4);
  b.Int32(-3).Int32(1).Str("only");
  b.Byte(0).Int32(1).Int32(2).Int32(3).Int32(4).Int32(5).Int32(6);
  TSettingsRecord defaults;
  defaults.LeftOpenFolder = "keep?";
  defaults.LeftHistory = QStringList{"old"};
  const TSettingsReadResult read = ReadSettingsRecord(b.Data(), defaults);
  EXPECT_EQ(read.FieldsRead, SettingsFieldCount);
  EXPECT_EQ(read.Record.LeftOpenFolder, "");
  EXPECT_EQ(read.Record.FontName, "");
  EXPECT_EQ(read.Record.LeftHistory, QStringList());
  EXPECT_EQ(read.Record.RightHistory, QStringList{"only"});
  EXPECT_EQ(read.Record.ColWidth2, 6);
}

struct TOversizeCase {
  const char* Name;
  std::function<QByteArray()> Bytes;
  int FieldsRead;
};

void PrintTo(const TOversizeCase& c, std::ostream* os) { *os << c.Name; }

class SettingsOversizeTest : public ::testing::TestWithParam<TOversizeCase> {};

TEST_P(SettingsOversizeTest, StopsAtTheFieldWithoutReadingPastTheEnd) {
  const TSettingsReadResult read = ReadSettingsRecord(GetParam().Bytes(), CallerDefaults());
  EXPECT_EQ(read.FieldsRead, GetParam().FieldsRead);
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, SettingsOversizeTest,
    ::testing::Values(
        TOversizeCase{"HugeStringLength", [] { return TBytes().Int32(1).Int32(0x7FFFFFFF).Str("x").Data(); }, 1},
        TOversizeCase{"LengthOneUnitPastTheEnd", [] { return TBytes().Int32(1).Int32(4).Str("x").Data(); }, 1},
        TOversizeCase{"LengthExactlyTheRest", [] { return TBytes().Int32(1).Int32(2).Byte('a').Byte(0).Byte('b').Byte(0).Data(); }, 2},
        TOversizeCase{"HugeHistoryCount", [] { return HeadThroughColours().Int32(0x7FFFFFFF).Str("a").Data(); }, 19},
        TOversizeCase{"CountLargerThanTheEntriesCanBe", [] { return HeadThroughColours().Int32(3).Str("").Str("").Data(); }, 19},
        TOversizeCase{"CountWithEntriesCutShort", [] { return HeadThroughColours().Int32(2).Str("abc").Int32(9).Data(); }, 19}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SettingsRecord, HugeCountKeepsTheEntriesThatAreThere) {
  const TSettingsReadResult read =
      ReadSettingsRecord(HeadThroughColours().Int32(0x7FFFFFFF).Str("a").Str("b").Data(), CallerDefaults());
  EXPECT_EQ(read.FieldsRead, 19);
  EXPECT_EQ(read.Record.LeftHistory, (QStringList{"a", "b"}));
}

TEST(SettingsRecord, HistoryCutShortKeepsTheEntriesRead) {
  const TSettingsReadResult read =
      ReadSettingsRecord(HeadThroughColours().Int32(2).Str("first").Int32(40).Data(), CallerDefaults());
  EXPECT_EQ(read.FieldsRead, 19);
  EXPECT_EQ(read.Record.LeftHistory, QStringList{"first"});
  EXPECT_EQ(read.Record.WindowWidth, CallerDefaults().WindowWidth);
}

TEST(SettingsRecord, NonLatinTextRoundTrips) {
  TSettingsRecord r = CallerDefaults();
  r.FontName = NonLatin;
  r.LeftOpenFolder = QString::fromUtf8("/home/\xE7\x94\xA8\xE6\x88\xB7");
  r.RightHistory = QStringList{NonLatin, QString(QChar(0xD800)), QString()};  // a lone surrogate and an empty entry too
  const TSettingsReadResult read = ReadSettingsRecord(WriteSettingsRecord(r), TSettingsRecord());
  EXPECT_EQ(read.FieldsRead, SettingsFieldCount);
  EXPECT_EQ(read.Record, r);
}

// ---- Where the file lives, and reading and writing it ----------------------------------------

TEST(SettingsFileLocation, FirstNonEmptyCandidateWinsAndItsFolderIsCreated) {
  QTemporaryDir root;
  const QString appData = root.filePath("app/data"), config = root.filePath("config"), exe = root.filePath("exe");
  struct Case {
    QString AppData, Config, Exe, Base;
  };
  for (const Case& c : {Case{appData, config, exe, appData}, Case{"", config, exe, config}, Case{"", "", exe, exe}}) {
    const QString path = SettingsFilePathIn(c.AppData, c.Config, c.Exe);
    EXPECT_EQ(path, c.Base + "/Varnoque/settings.dt");
    EXPECT_TRUE(QFileInfo(c.Base + "/Varnoque").isDir()) << path.toStdString();
  }
}

class SettingsFilePathEnv : public ::testing::Test {
protected:
  void TearDown() override { qunsetenv("APPDATA"); }
};

TEST_F(SettingsFilePathEnv, AppDataThenConfigHome) {
  QTemporaryDir appData;
  qputenv("APPDATA", appData.path().toLocal8Bit());
  EXPECT_EQ(SettingsFilePath(), appData.path() + "/Varnoque/settings.dt");
  qputenv("APPDATA", "");
  EXPECT_EQ(SettingsFilePath(), testenv::ConfigHome() + "/Varnoque/settings.dt");
  qunsetenv("APPDATA");
  EXPECT_EQ(SettingsFilePath(), testenv::ConfigHome() + "/Varnoque/settings.dt");
}

TEST(SettingsFileIo, SaveReplacesTheWholeFileAndReadGivesItBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("settings.dt");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
  }
  TSettingsRecord r = CallerDefaults();
  r.LeftHistory = QStringList{"a", "b"};
  ASSERT_TRUE(SaveSettingsFile(path, r));
  const std::optional<QByteArray> bytes = ReadSettingsFile(path);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, WriteSettingsRecord(r));
  EXPECT_EQ(ReadSettingsRecord(*bytes, TSettingsRecord()).Record, r);
}

TEST(SettingsFileIo, FailuresAreQuiet) {
  QTemporaryDir dir;
  EXPECT_FALSE(SaveSettingsFile(dir.filePath("missing/settings.dt"), TSettingsRecord()));
  EXPECT_FALSE(SaveSettingsFile(dir.path(), TSettingsRecord()));  // a folder stands where the file should be
  EXPECT_TRUE(QFileInfo(dir.path()).isDir());
  EXPECT_EQ(ReadSettingsFile(dir.filePath("missing.dt")), std::nullopt);
  EXPECT_EQ(ReadSettingsFile(dir.path()), std::nullopt);
}

}  // namespace
