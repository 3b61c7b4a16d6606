#pragma once

#include <QByteArray>
#include <QString>

// Ports and names that tests may move so several copies run side by side.
namespace config {

// "7772", or QUILLET_GAME_PORT.
QString gamePort();
// "9001", or QUILLET_LOBBY_PORT.
QString lobbyPort();
// Announcements of hosted games on this network: UDP port "7773" (QUILLET_ANNOUNCE_PORT), sent to
// the broadcast address (QUILLET_ANNOUNCE_ADDRESS; tests use 127.0.0.1), each datagram beginning
// with "QUILLET-GAME/1" (QUILLET_ANNOUNCE_PREFIX).
QString announcePort();
QString announceAddress();
QByteArray announcePrefix();
// Added to the single-instance and running-marker names: QUILLET_INSTANCE, empty by default.
QString instanceScope();
// Where the settings file and the snapshots live. QUILLET_HOME overrides both. Otherwise a copy
// whose own folder can be written (a build folder, a portable copy) keeps them beside the program;
// an installed copy (a "bin" folder with the game's share/ beside it) or one in a folder it cannot
// write uses the player's own folders: $XDG_CONFIG_HOME/quillet for the settings file and
// $XDG_DATA_HOME/quillet/snapshots for the snapshots (~/.config and ~/.local/share by default).
QString dataDir();
QString snapshotsDir();

} // namespace config
