#pragma once

#include <QString>

// Where the lobby program and its installer live. Tests move both through environment variables
// read only for that purpose, as they move the ports.
namespace lobbyplaces {

// The maker's web address, as the about window shows it (without a scheme).
QString makerAddress();
// The lobby installer a packager offers, and its SHA-256 digest in hexadecimal: build options
// QUILLET_INSTALLER_URL and QUILLET_INSTALLER_SHA256 (the environment variables of the same names
// replace them, for tests). Empty when none is offered, which is the default.
QString installerUrl();
QString installerSha256();
// The digest as 32 bytes; empty unless installerSha256() is 64 hexadecimal digits.
QByteArray installerDigest();
// The installed lobby program; QUILLET_LOBBY_PROGRAM in tests.
QString lobbyProgram();

// The installer's file name: the text after the address's last "/" (all of it without one).
// Throws EError when that leaves no usable file name.
QString installerName(const QString &url);

} // namespace lobbyplaces
