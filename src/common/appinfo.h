#pragma once
// Who the program is: its title, its version and where its maker lives on the web.

#include <QString>

namespace appinfo {
// The title names the settings folder, the key store entry and the About box.
inline QString Title() { return QStringLiteral("Varnoque"); }
inline QString VersionText() { return QStringLiteral("2.0"); }
// The version as the version page writes it: ten times the version.
constexpr int VersionNumber = 20;
// The maker's web address; the version check and the download use it as their base address.
inline QString WebAddress() { return QStringLiteral("https://www.varnoque.example"); }
inline QString WebHost() { return QStringLiteral("www.varnoque.example"); }
}  // namespace appinfo
