// The podium at the game's end: the record of the game, the drawings of its turns, and who
// starts the next one.
#include "client/tchat.h"

#include "board/drawingboard.h"
#include "client/podium.h"
#include "platform/errors.h"

void Tchat::connectPodium()
{
    connect(playergame, &PlayerGame::recorded, this, [this](int turn) {
        if (turn < 0)
            podium->setrecord(playergame->record(), playergame->startoptions());
        else // the board holds the turn's last drawing as the turn ends
            podium->setpicture(turn, image_main->image_backup);
    });
    connect(playergame, &PlayerGame::phaseEntered, podium, [this](PlayerGame::Phase phase) {
        if (phase == PlayerGame::Phase::idle)
            podium->clearpictures();
    });
    connect(podium, &Podium::playAgainClicked, this, [this] { guard([this] { playergame->startagain(); }); });
    connect(podium, &Podium::closeClicked, playergame, &PlayerGame::closepodium);
}

void Tchat::showpodium(const PlayerGame::Controls &c)
{
    const bool mine = playergame->hostsay() && !playergame->gameleft();
    podium->setleader(mine, c.playagain, playergame->seatname(playergame->leaderseat()));
    if (c.podium == podium->isHidden()) {
        podium->setVisible(c.podium);
        if (c.podium)
            podium->raise();
    }
}
