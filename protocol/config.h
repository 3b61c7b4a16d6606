#pragma once

#include <QString>

// Ports and names that tests may move so several copies run side by side.
namespace config {

// "7772", or QUILLET_GAME_PORT.
QString gamePort();
// "9001", or QUILLET_LOBBY_PORT.
QString lobbyPort();
// Added to the single-instance and running-marker names: QUILLET_INSTANCE, empty by default.
QString instanceScope();
// The folder of the settings file and the snapshots: the program's folder, or QUILLET_HOME.
QString dataDir();

} // namespace config
