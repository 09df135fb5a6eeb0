#pragma once
// The settings file "settings.dt": one flat binary record of 29 fields, little-endian, without
// padding or checksum. Int32 is 4 bytes; Bool is 1 byte (0 or 1; any non-zero byte reads true);
// Str is an Int32 length in UTF-16 code units followed by that many UTF-16LE code units.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

// The record's fields in file order.
struct TSettingsRecord {
  qint32 Version = 1;
  QString LeftOpenFolder;
  QString RightOpenFolder;
  bool IgnoreWhitespace = false;
  bool IgnoreWSAmount = false;
  bool IgnoreLeadingWS = false;
  bool IgnoreTrailingWS = false;
  bool IgnoreBlankLines = false;
  bool IgnoreCase = false;
  bool ShowLineNumbers = true;
  bool ShowGridLines = true;
  qint32 FontColor = qint32(0xFF000008u);  // the system's window-text colour
  qint32 FontSize = 11;
  QString FontName = QStringLiteral("Courier New");
  qint32 ColorAddedLines = 0x00FFF0E0;
  qint32 ColorRemovedLines = 0x00E0F0FF;
  qint32 ColorChangedLines = 0x00E0E0FF;
  qint32 ColorDifferentTextInLine = 0x0000FFFF;
  QStringList LeftHistory;
  QStringList RightHistory;
  bool Maximized = false;
  qint32 WindowLeft = 0;
  qint32 WindowTop = 0;
  qint32 WindowWidth = 0;
  qint32 WindowHeight = 0;
  qint32 ColWidth1 = 0;
  qint32 ColWidth2 = 0;

  friend bool operator==(const TSettingsRecord&, const TSettingsRecord&) = default;
};

// The number of fields of a complete record.
inline constexpr int SettingsFieldCount = 29;

struct TSettingsReadResult {
  TSettingsRecord Record;
  int FieldsRead = 0;  // fields read completely, in file order
};

// Reads the fields in order into a copy of `defaults` and stops silently at the first field that
// cannot be read; a history cut short keeps the entries read before the cut. A negative length
// or count reads as empty; a string longer than the rest of the bytes stops the reading, and so
// does the first history entry that is not there. Nothing is allocated beyond the bytes given.
TSettingsReadResult ReadSettingsRecord(QByteArrayView bytes, const TSettingsRecord& defaults);

QByteArray WriteSettingsRecord(const TSettingsRecord& record);

// The settings file in the folder "Varnoque" under the first non-empty one of the three
// candidates; the folder is created with its parents.
QString SettingsFilePathIn(const QString& appData, const QString& configHome, const QString& executableFolder);
// The same for this process: APPDATA, then the per-user configuration folder, then the
// executable's folder.
QString SettingsFilePath();

// Replaces the file atomically; false on any failure, which is not reported otherwise.
bool SaveSettingsFile(const QString& path, const TSettingsRecord& record);
// The whole file; nullopt when it cannot be read.
std::optional<QByteArray> ReadSettingsFile(const QString& path);
