// The settings file of the main window.
#include "client/tchat.h"

void Tchat::loadinifile()
{
    // Read at the own "You are Connected." line; the settings file work fills this in.
}
