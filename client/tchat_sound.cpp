// Sound cues of the main window.
#include "client/tchat.h"

#include "features/sound.h"

void Tchat::playsounds(const QString &cue)
{
    // "Play Sounds" governs the event cues only; chatter sounds have their own switch.
    if (playergame->playsounds())
        sound::play(cue);
}
