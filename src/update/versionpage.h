#pragma once
// The version page of the start-up check: UTF-8 text whose first line reads A/B, the newest
// available version and the lowest version still allowed, each as ten times the version.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct TVersionLine {
  int Newest = 0;
  int Lowest = 0;
  QString DisplayVersion;  // the newest version for people: "21" shows as "2.1"
  friend bool operator==(const TVersionLine&, const TVersionLine&) = default;
};

// UTF-8 text (a leading byte-order mark skipped) split at CR LF, LF or CR; a final line break
// adds no line.
QStringList DecodePageLines(const QByteArray& body);

// Removes the lines of length 0; a line of blanks stays.
QStringList RemoveEmptyLines(QStringList lines);

// A is the text before the first "/", B the text after it; both must be decimal integers,
// blanks around them allowed. nullopt when either is not.
std::optional<TVersionLine> ParseVersionLine(const QString& line);

// "21" gives "2.1", "105" gives "10.5", "5" gives ".5".
QString DisplayVersionOf(const QString& versionText);
