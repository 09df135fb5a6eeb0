// The settings file reader on any bytes: it reads a prefix of the 29 fields, applies exactly those,
// keeps the defaults for the rest, allocates nothing the bytes do not hold, and what it read is
// written back and read again unchanged.

#include "settings/settingsfile.h"
#include "support/fuzzcheck.h"

namespace {

// A default record that differs from the standard one in every field, so that a field taken from
// the defaults is told apart from one read from the bytes.
TSettingsRecord OtherDefaults() {
  TSettingsRecord r;
  r.Version = 7;
  r.LeftOpenFolder = QStringLiteral("left folder");
  r.RightOpenFolder = QStringLiteral("right folder");
  r.IgnoreWhitespace = r.IgnoreWSAmount = r.IgnoreLeadingWS = r.IgnoreTrailingWS = true;
  r.IgnoreBlankLines = r.IgnoreCase = true;
  r.ShowLineNumbers = r.ShowGridLines = false;
  r.FontColor = 0x123456;
  r.FontSize = -3;
  r.FontName = QStringLiteral("face");
  r.ColorAddedLines = 1;
  r.ColorRemovedLines = 2;
  r.ColorChangedLines = 3;
  r.ColorDifferentTextInLine = 4;
  r.LeftHistory = {QStringLiteral("l1"), QStringLiteral("l2")};
  r.RightHistory = {QStringLiteral("r1")};
  r.Maximized = true;
  r.WindowLeft = -11;
  r.WindowTop = -12;
  r.WindowWidth = -13;
  r.WindowHeight = -14;
  r.ColWidth1 = -15;
  r.ColWidth2 = -16;
  return r;
}

// Field number (1 … 29, in file order) to a comparison of that field in two records. The
// history fields 19/20 and 21/22 both compare the whole list.
bool FieldEqual(int field, const TSettingsRecord& a, const TSettingsRecord& b) {
  switch (field) {
    case 1: return true;  // the version is read and ignored
    case 2: return a.LeftOpenFolder == b.LeftOpenFolder;
    case 3: return a.RightOpenFolder == b.RightOpenFolder;
    case 4: return a.IgnoreWhitespace == b.IgnoreWhitespace;
    case 5: return a.IgnoreWSAmount == b.IgnoreWSAmount;
    case 6: return a.IgnoreLeadingWS == b.IgnoreLeadingWS;
    case 7: return a.IgnoreTrailingWS == b.IgnoreTrailingWS;
    case 8: return a.IgnoreBlankLines == b.IgnoreBlankLines;
    case 9: return a.IgnoreCase == b.IgnoreCase;
    case 10: return a.ShowLineNumbers == b.ShowLineNumbers;
    case 11: return a.ShowGridLines == b.ShowGridLines;
    case 12: return a.FontColor == b.FontColor;
    case 13: return a.FontSize == b.FontSize;
    case 14: return a.FontName == b.FontName;
    case 15: return a.ColorAddedLines == b.ColorAddedLines;
    case 16: return a.ColorRemovedLines == b.ColorRemovedLines;
    case 17: return a.ColorChangedLines == b.ColorChangedLines;
    case 18: return a.ColorDifferentTextInLine == b.ColorDifferentTextInLine;
    case 19:
    case 20: return a.LeftHistory == b.LeftHistory;
    case 21:
    case 22: return a.RightHistory == b.RightHistory;
    case 23: return a.Maximized == b.Maximized;
    case 24: return a.WindowLeft == b.WindowLeft;
    case 25: return a.WindowTop == b.WindowTop;
    case 26: return a.WindowWidth == b.WindowWidth;
    case 27: return a.WindowHeight == b.WindowHeight;
    case 28: return a.ColWidth1 == b.ColWidth1;
    case 29: return a.ColWidth2 == b.ColWidth2;
  }
  return false;
}

// How far the reading touched a field when it stopped after `fieldsRead` complete fields.
enum class TFieldState { Read, Default, Emptied };

TFieldState StateOf(int field, int fieldsRead) {
  if (field <= fieldsRead) return TFieldState::Read;
  // A history is emptied before its count is read, and keeps the entries read before a cut.
  for (const int countField : {19, 21}) {
    if (field != countField && field != countField + 1) continue;
    if (fieldsRead == countField) return TFieldState::Read;
    if (fieldsRead == countField - 1) return TFieldState::Emptied;
  }
  return TFieldState::Default;
}

bool HistoryEmpty(int field, const TSettingsRecord& r) {
  return field <= 20 ? r.LeftHistory.isEmpty() : r.RightHistory.isEmpty();
}

// Code units of the strings that the reading took from the bytes.
qsizetype TextUnitsRead(const TSettingsRecord& r, int fieldsRead) {
  qsizetype units = 0;
  const auto add = [&](int field, const QString& text) {
    if (StateOf(field, fieldsRead) == TFieldState::Read) units += text.size();
  };
  add(2, r.LeftOpenFolder);
  add(3, r.RightOpenFolder);
  add(14, r.FontName);
  for (const QString& entry : r.LeftHistory) add(20, entry);
  for (const QString& entry : r.RightHistory) add(22, entry);
  return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const TSettingsRecord standard;
  const TSettingsRecord other = OtherDefaults();
  const TSettingsReadResult first = ReadSettingsRecord(bytes, standard);
  const TSettingsReadResult second = ReadSettingsRecord(bytes, other);

  FUZZ_CHECK(first.FieldsRead >= 0 && first.FieldsRead <= SettingsFieldCount);
  FUZZ_CHECK(first.FieldsRead == second.FieldsRead);
  for (int field = 1; field <= SettingsFieldCount; ++field) {
    const QString where = QStringLiteral("field %1 after %2 fields read").arg(field).arg(first.FieldsRead);
    switch (StateOf(field, first.FieldsRead)) {
      case TFieldState::Read: FUZZ_CHECK_MSG(FieldEqual(field, first.Record, second.Record), where); break;
      case TFieldState::Emptied:
        FUZZ_CHECK_MSG(HistoryEmpty(field, first.Record) && HistoryEmpty(field, second.Record), where);
        break;
      case TFieldState::Default:
        FUZZ_CHECK_MSG(FieldEqual(field, first.Record, standard) && FieldEqual(field, second.Record, other), where);
        break;
    }
  }
  FUZZ_CHECK(first.Record.Version == standard.Version && second.Record.Version == other.Version);
  // Every code unit read came from two bytes of the input.
  FUZZ_CHECK(2 * TextUnitsRead(first.Record, first.FieldsRead) <= bytes.size());

  // What was read is written as a complete record, which reads back to the same values.
  const QByteArray written = WriteSettingsRecord(first.Record);
  const TSettingsReadResult again = ReadSettingsRecord(written, other);
  FUZZ_CHECK(again.FieldsRead == SettingsFieldCount);
  TSettingsRecord expected = first.Record;
  expected.Version = other.Version;
  FUZZ_CHECK(again.Record == expected);
  return 0;
}
