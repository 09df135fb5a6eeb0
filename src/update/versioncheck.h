#pragma once
// The start-up question to the maker's web server: is there a newer version, and is this one
// still allowed to run? Any failure means no notice.

#include <QString>
#include <QUrl>

// What the check found, for the update dialog.
struct TUpdateNotice {
  bool UpdateRequired = false;  // also set by "Update Now": closing the dialog then ends the program
  QString UpdateMessage;
};

// The process-wide notice, set at most once by the check.
TUpdateNotice& UpdateNotice();

// The maker's web address, or the address in VARNOQUE_UPDATE_URL.
QUrl UpdateBaseAddress();

// A page of the maker's server: the base address followed by the path.
QUrl UpdateAddress(const QString& path);

// True when the update dialog must be shown; UpdateNotice() then holds its text and level.
bool CheckForNewVersion();
