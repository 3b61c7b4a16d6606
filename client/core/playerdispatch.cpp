// The host's messages to their handlers.
#include "client/core/playergame.h"

#include "protocol/commands.h"
#include "protocol/wire.h"

const PlayerGame::Route PlayerGame::dispatchtable[] = {
    {&cmd::sendlogininfo, &PlayerGame::sendloginfo},
    {&cmd::chat, &PlayerGame::chatreceived},
    {&cmd::action, &PlayerGame::chatreceived},
    {&cmd::newplayerinfo, &PlayerGame::newplayerinfo},
    {&cmd::existingplayers, &PlayerGame::newplayerinfo},
    {&cmd::playerdisconnected, &PlayerGame::playerdisconnected},
    {&cmd::startgame, &PlayerGame::startthegame},
    {&cmd::hints, &PlayerGame::hintson},
    {&cmd::nextplayer, &PlayerGame::getnextplayer},
    {&cmd::winner, &PlayerGame::winner},
    {&cmd::full, &PlayerGame::gamefull},
    {&cmd::draw, &PlayerGame::drawit},
    {&cmd::moveit, &PlayerGame::moveit},
    {&cmd::clearmain, &PlayerGame::clearmain},
    {&cmd::correctanswer, &PlayerGame::correctanswer},
    {&cmd::updateanswer, &PlayerGame::updateanswer},
    {&cmd::givedraweranswer, &PlayerGame::givedraweranswer},
    {&cmd::guessed, &PlayerGame::guessed},
    {&cmd::pickcatagory, &PlayerGame::pickcatagory},
    {&cmd::myguessed, &PlayerGame::myguessed},
    {&cmd::passed, &PlayerGame::passed},
    {&cmd::refreshplayerlist, &PlayerGame::refreshplayerlist},
    {&cmd::havewrongversion, &PlayerGame::havewrongversion},
    {&cmd::wrongversion, &PlayerGame::wrongversion},
    {&cmd::justwatching, &PlayerGame::justwatching},
    {&cmd::teamscore, &PlayerGame::teamscore},
    {&cmd::gamestats, &PlayerGame::gamestats},
    {&cmd::veryclose, &PlayerGame::veryclose},
    {&cmd::playasound, &PlayerGame::playasound},
    {&cmd::updatetime, &PlayerGame::updatetime},
};

void PlayerGame::handle(const QString &message)
{
    const CommandText c = splitCommand(message);
    if (c.word.isEmpty())
        return;
    for (const Route &r : dispatchtable) {
        if (*r.word == c.word) {
            (this->*r.handler)(c.rest);
            return;
        }
    }
}

QStringList PlayerGame::dispatchedwords()
{
    QStringList words;
    for (const Route &r : dispatchtable)
        words << *r.word;
    return words;
}

void PlayerGame::gamefull(const QString &)
{
    emit full();
}
