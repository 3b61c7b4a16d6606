// Sound cues of the main window.
#include "client/tchat.h"

void Tchat::playsounds(const QString &)
{
    // The clip player arrives with the sound work; until then cues are silent.
}
