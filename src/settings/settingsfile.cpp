#include "settings/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>
#include <algorithm>

namespace {

const QString SettingsFolderName = QStringLiteral("Varnoque");
const QString SettingsFileName = QStringLiteral("settings.dt");

// Reads fields from the front of the bytes; a field that cannot be read completely leaves its
// target untouched. Lengths and counts are checked against the bytes left before anything is
// allocated for them.
class TFieldReader {
public:
  explicit TFieldReader(QByteArrayView bytes) : FBytes(bytes) {}

  bool Int32(qint32& value) {
    if (Remaining() < 4) return false;
    value = qFromLittleEndian<qint32>(FBytes.data() + FPos);
    FPos += 4;
    return true;
  }

  bool Bool(bool& value) {
    if (Remaining() < 1) return false;
    value = FBytes[FPos++] != 0;
    return true;
  }

  bool Str(QString& value) {
    qint32 length = 0;
    if (!Int32(length)) return false;
    if (length <= 0) {
      value.clear();
      return true;
    }
    if (length > Remaining() / 2) return false;
    QString text(length, Qt::Uninitialized);
    for (qint32 k = 0; k < length; ++k) text[k] = QChar(qFromLittleEndian<quint16>(FBytes.data() + FPos + 2 * k));
    FPos += 2 * qsizetype(length);
    value = text;
    return true;
  }

  // A list count: negative reads as 0. Nothing is allocated for it: the entries are read one
  // by one, so a count larger than the rest stops at the first entry that is not there.
  bool Count(qint32& count) {
    qint32 value = 0;
    if (!Int32(value)) return false;
    count = std::max(value, 0);
    return true;
  }

private:
  qsizetype Remaining() const { return FBytes.size() - FPos; }

  QByteArrayView FBytes;
  qsizetype FPos = 0;
};

// Fields 19 and 20 (or 21 and 22): the count, then the entries; entries read before a failure stay.
bool ReadHistory(TFieldReader& in, QStringList& history, int& fieldsRead) {
  history.clear();
  qint32 count = 0;
  if (!in.Count(count)) return false;
  ++fieldsRead;
  for (qint32 k = 0; k < count; ++k) {
    QString entry;
    if (!in.Str(entry)) return false;
    history.append(entry);
  }
  ++fieldsRead;
  return true;
}

void ReadFields(TFieldReader& in, TSettingsRecord& r, int& fieldsRead) {
  auto field = [&fieldsRead](bool complete) {
    if (complete) ++fieldsRead;
    return complete;
  };
  qint32 version = 0;  // read and ignored: every version is read like version 1
  const bool head = field(in.Int32(version)) && field(in.Str(r.LeftOpenFolder)) && field(in.Str(r.RightOpenFolder)) &&
                    field(in.Bool(r.IgnoreWhitespace)) && field(in.Bool(r.IgnoreWSAmount)) &&
                    field(in.Bool(r.IgnoreLeadingWS)) && field(in.Bool(r.IgnoreTrailingWS)) &&
                    field(in.Bool(r.IgnoreBlankLines)) && field(in.Bool(r.IgnoreCase)) &&
                    field(in.Bool(r.ShowLineNumbers)) && field(in.Bool(r.ShowGridLines)) &&
                    field(in.Int32(r.FontColor)) && field(in.Int32(r.FontSize)) && field(in.Str(r.FontName)) &&
                    field(in.Int32(r.ColorAddedLines)) && field(in.Int32(r.ColorRemovedLines)) &&
                    field(in.Int32(r.ColorChangedLines)) && field(in.Int32(r.ColorDifferentTextInLine));
  if (!head || !ReadHistory(in, r.LeftHistory, fieldsRead) || !ReadHistory(in, r.RightHistory, fieldsRead)) return;
  field(in.Bool(r.Maximized)) && field(in.Int32(r.WindowLeft)) && field(in.Int32(r.WindowTop)) &&
      field(in.Int32(r.WindowWidth)) && field(in.Int32(r.WindowHeight)) && field(in.Int32(r.ColWidth1)) &&
      field(in.Int32(r.ColWidth2));
}

void PutInt32(QByteArray& out, qint32 value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, 4);
}

void PutBool(QByteArray& out, bool value) { out.append(char(value ? 1 : 0)); }

void PutStr(QByteArray& out, const QString& value) {
  PutInt32(out, qint32(value.size()));
  for (QChar c : value) {
    char bytes[2];
    qToLittleEndian(quint16(c.unicode()), bytes);
    out.append(bytes, 2);
  }
}

void PutHistory(QByteArray& out, const QStringList& history) {
  PutInt32(out, qint32(history.size()));
  for (const QString& entry : history) PutStr(out, entry);
}

}  // namespace

TSettingsReadResult ReadSettingsRecord(QByteArrayView bytes, const TSettingsRecord& defaults) {
  TSettingsReadResult result{defaults, 0};
  TFieldReader in(bytes);
  ReadFields(in, result.Record, result.FieldsRead);
  return result;
}

QByteArray WriteSettingsRecord(const TSettingsRecord& r) {
  QByteArray out;
  PutInt32(out, r.Version);
  PutStr(out, r.LeftOpenFolder);
  PutStr(out, r.RightOpenFolder);
  for (bool flag : {r.IgnoreWhitespace, r.IgnoreWSAmount, r.IgnoreLeadingWS, r.IgnoreTrailingWS, r.IgnoreBlankLines,
                    r.IgnoreCase, r.ShowLineNumbers, r.ShowGridLines})
    PutBool(out, flag);
  PutInt32(out, r.FontColor);
  PutInt32(out, r.FontSize);
  PutStr(out, r.FontName);
  for (qint32 colour : {r.ColorAddedLines, r.ColorRemovedLines, r.ColorChangedLines, r.ColorDifferentTextInLine})
    PutInt32(out, colour);
  PutHistory(out, r.LeftHistory);
  PutHistory(out, r.RightHistory);
  PutBool(out, r.Maximized);
  for (qint32 value : {r.WindowLeft, r.WindowTop, r.WindowWidth, r.WindowHeight, r.ColWidth1, r.ColWidth2})
    PutInt32(out, value);
  return out;
}

QString SettingsFilePathIn(const QString& appData, const QString& configHome, const QString& executableFolder) {
  const QString base = !appData.isEmpty() ? appData : !configHome.isEmpty() ? configHome : executableFolder;
  const QString folder = QDir(base).filePath(SettingsFolderName);
  QDir().mkpath(folder);  // a folder that cannot be made shows later as a failed save
  return QDir(folder).filePath(SettingsFileName);
}

QString SettingsFilePath() {
  return SettingsFilePathIn(qEnvironmentVariable("APPDATA"),
                            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                            QCoreApplication::applicationDirPath());
}

bool SaveSettingsFile(const QString& path, const TSettingsRecord& record) {
  // Only a regular file (or none) is replaced: the save would otherwise put the settings in place
  // of the device or pipe that a link in its place leads to.
  const QFileInfo existing(path);
  if (existing.exists() && !existing.isFile()) return false;
  const QByteArray bytes = WriteSettingsRecord(record);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // The flush is checked before the commit: a full disk must not leave a short file in place of
  // the previous one.
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

std::optional<QByteArray> ReadSettingsFile(const QString& path) {
  // Only a regular file is read: a pipe would wait for a writer, a device would never end.
  if (!QFileInfo(path).isFile()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes;
}
