#pragma once
// Every test process runs with its own per-user folders, so that the key store and the settings
// file of the person running the tests are never read or written.

#include <QString>

namespace testenv {
// Points XDG_CONFIG_HOME (and HOME's config) at a fresh temporary folder and clears APPDATA.
void IsolateUserFolders();
// The folder that XDG_CONFIG_HOME names for this process.
QString ConfigHome();
}  // namespace testenv
