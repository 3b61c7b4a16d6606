// What the player asks of the host, and who may ask what and when. Nothing leaves before the login.
#include "client/core/playergame.h"

#include "protocol/commands.h"
#include "protocol/text.h"

#include <QTimer>

namespace {

// CMD_justwatch's second field.
constexpr int watch = 1;
constexpr int playagain = 2;

} // namespace

void PlayerGame::answerit(const QString &text)
{
    if (st.loggedin && canguess())
        send(cmd::buildAnswer(st.mynumber, text::wireSafe(text)));
}

bool PlayerGame::pickit(int category)
{
    st.picked = true;
    emit controlsChanged();
    if (!drawing())
        return false;
    if (st.loggedin)
        send(cmd::buildPickcatagory(st.mynumber, category));
    return true;
}

void PlayerGame::passit()
{
    if (drawing() && st.loggedin)
        send(cmd::buildPass(st.mynumber));
    st.passed = true;
    emit controlsChanged();
}

bool PlayerGame::wipeit()
{
    if (!drawing())
        return false;
    emit boardWiped();
    if (st.loggedin)
        send(cmd::buildClearmain(st.mynumber));
    return true;
}

void PlayerGame::startgame(bool team, int playto, int seconds, bool hints)
{
    if (!st.loggedin)
        return;
    // Asked for first, so that the start request right after it takes it; without hints the
    // start is what any host expects.
    if (hints)
        send(cmd::buildHintsRequest(st.mynumber));
    send(cmd::buildStartgame(st.mynumber, team, playto, seconds));
}

void PlayerGame::startagain()
{
    if (!controls().playagain)
        return;
    const StartOptions &o = st.options;
    startgame(o.team, o.playto, o.seconds, o.hints);
    st.againsent = true;
    emit controlsChanged();
}

void PlayerGame::closepodium()
{
    st.podium = false;
    emit controlsChanged();
}

void PlayerGame::justwatch()
{
    // Spies have no seat to leave. The tick follows the host's answer, not the click.
    if (!st.loggedin || !isseat(st.mynumber))
        return;
    send(cmd::buildJustwatch(st.mynumber, st.seats[st.mynumber].watching ? playagain : watch));
}

void PlayerGame::setwatch(int seat, bool on)
{
    if (st.loggedin)
        send(cmd::buildJustwatch(seat, on ? watch : playagain));
}

void PlayerGame::kicking(int number)
{
    if (controls().removal && st.loggedin)
        send(cmd::buildKickhim(st.mynumber, number));
}

bool PlayerGame::chatit(const QString &text, const QString &colour)
{
    if (!st.loggedin)
        return false;
    if (text.isEmpty())
        return true;
    if (!text.startsWith(QLatin1Char('/')))
        send(cmd::buildChat(st.mynumber, text::wireSafe(text), colour));
    else if (text.startsWith(QLatin1String("/me")))
        send(cmd::buildAction(st.mynumber, text::wireSafe(text.mid(4)), colour));
    return true;
}

void PlayerGame::phraseit(const QString &action, const QString &colour)
{
    if (!st.phraseready)
        return;
    send(cmd::buildAction(st.mynumber, action, colour));
    st.phraseready = false;
    phraseTimer->start();
}

void PlayerGame::soundit(int tag)
{
    // Spies cannot send chatter sounds. Nothing plays here: the host's relay comes back to us too.
    if (tag != 0 && !isspy() && st.loggedin)
        send(cmd::buildPlayasound(st.mynumber, tag));
}
