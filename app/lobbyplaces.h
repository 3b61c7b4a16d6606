#pragma once

#include <QString>

// Where the lobby program and its installer live. Tests move both through environment variables
// read only for that purpose, as they move the ports.
namespace lobbyplaces {

// The maker's web address, as the about window shows it (without a scheme).
QString makerAddress();
// The installer on the maker's web server; QUILLET_INSTALLER_URL in tests.
QString installerUrl();
// The installed lobby program; QUILLET_LOBBY_PROGRAM in tests.
QString lobbyProgram();

// The installer's file name: the text after the address's last "/" (all of it without one).
// Throws EError when that leaves no usable file name.
QString installerName(const QString &url);

} // namespace lobbyplaces
