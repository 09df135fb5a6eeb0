#include "text/encoding.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

QByteArray AllBytes() {
  QByteArray bytes;
  for (int b = 0; b < 256; ++b) bytes.append(char(b));
  return bytes;
}

TEST(AnsiEncodingTest, DecodesLikeTheSystemWindows1252Decoder) {
  QStringDecoder reference("windows-1252");
  ASSERT_TRUE(reference.isValid());
  const QString expected = reference.decode(AllBytes());
  const QString decoded = TEncoding::ANSI().Decode(AllBytes(), QStringLiteral("all.txt"));
  ASSERT_EQ(decoded.size(), 256);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(decoded[b].unicode(), expected[b].unicode()) << "byte " << b;
}

TEST(AnsiEncodingTest, EveryByteRoundTrips) {
  const QString text = TEncoding::ANSI().Decode(AllBytes(), QString());
  EXPECT_TRUE(TEncoding::ANSI().CanEncode(text));
  EXPECT_EQ(TEncoding::ANSI().Encode(text), AllBytes());
}

struct TEncodeCase {
  const char* Name;
  const TEncoding* Encoding;
  QString Text;
  QByteArray Bytes;
  bool Encodable;
};

void PrintTo(const TEncodeCase& c, std::ostream* os) { *os << c.Name; }

class EncodeTest : public ::testing::TestWithParam<TEncodeCase> {};

TEST_P(EncodeTest, WritesOrReplacesEachCharacter) {
  const TEncodeCase& c = GetParam();
  EXPECT_EQ(c.Encoding->Encode(c.Text).toHex(' '), c.Bytes.toHex(' '));
  EXPECT_EQ(c.Encoding->CanEncode(c.Text), c.Encodable);
}

const QString LoneHigh = QString(QChar(0xD83D)) + u'x';
const QString LoneLow = u'x' + QString(QChar(0xDE00));

INSTANTIATE_TEST_SUITE_P(
    Characters, EncodeTest,
    ::testing::Values(
        TEncodeCase{"AnsiWestern", &TEncoding::ANSI(), QStringLiteral(u"café €™"),
                    "caf\xE9 \x80\x99", true},
        // One '?' per character: a surrogate pair is a single character.
        TEncodeCase{"AnsiUnencodable", &TEncoding::ANSI(), QStringLiteral(u"Ā😀ж"), "???", false},
        TEncodeCase{"AnsiC1Control", &TEncoding::ANSI(), QString(QChar(0x80)), "?", false},
        TEncodeCase{"AnsiUnassignedByteCharacter", &TEncoding::ANSI(), QString(QChar(0x81)), "\x81", true},
        TEncodeCase{"AnsiQuestionMarkItself", &TEncoding::ANSI(), QStringLiteral("?"), "?", true},
        TEncodeCase{"AnsiLoneSurrogate", &TEncoding::ANSI(), LoneHigh, "?x", false},
        TEncodeCase{"Utf8", &TEncoding::UTF8(), QStringLiteral(u"é€😀"),
                    "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true},
        TEncodeCase{"Utf8LoneSurrogate", &TEncoding::UTF8(), LoneLow, "x?", false},
        TEncodeCase{"Utf16Le", &TEncoding::Unicode(), QStringLiteral(u"a😀"),
                    QByteArray("a\0\x3D\xD8\x00\xDE", 6), true},
        TEncodeCase{"Utf16Be", &TEncoding::BigEndianUnicode(), QStringLiteral(u"a😀"),
                    QByteArray("\0a\xD8\x3D\xDE\x00", 6), true},
        TEncodeCase{"Utf16LoneSurrogate", &TEncoding::BigEndianUnicode(), LoneHigh,
                    QByteArray("\0?\0x", 4), false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(PreambleTest, EachEncodingWritesItsOwnMark) {
  EXPECT_EQ(TEncoding::ANSI().GetPreamble(), QByteArray());
  EXPECT_EQ(TEncoding::UTF8().GetPreamble(), QByteArray("\xEF\xBB\xBF"));
  EXPECT_EQ(TEncoding::Unicode().GetPreamble(), QByteArray("\xFF\xFE"));
  EXPECT_EQ(TEncoding::BigEndianUnicode().GetPreamble(), QByteArray("\xFE\xFF"));
  const TUTF8NoBOMEncoding noBom;
  EXPECT_EQ(noBom.GetPreamble(), QByteArray());
  EXPECT_EQ(noBom.Encode(u"é"), TEncoding::UTF8().Encode(u"é"));
}

}  // namespace
