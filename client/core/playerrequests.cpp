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
    if (loggedin && canguess())
        send(cmd::buildAnswer(mynumber, text::wireSafe(text)));
}

bool PlayerGame::pickit(int category)
{
    shown.pick = false;
    emit controlsChanged();
    if (mynumber != drawernumber)
        return false;
    if (loggedin)
        send(cmd::buildPickcatagory(mynumber, category));
    return true;
}

void PlayerGame::passit()
{
    if (mynumber == drawernumber && loggedin)
        send(cmd::buildPass(mynumber));
    shown.pass = false;
    emit controlsChanged();
}

bool PlayerGame::wipeit()
{
    if (mynumber != drawernumber)
        return false;
    emit boardWiped();
    if (loggedin)
        send(cmd::buildClearmain(mynumber));
    return true;
}

void PlayerGame::startgame(bool team, const QString &playto, const QString &seconds)
{
    if (!loggedin)
        return;
    send(cmd::startgame + QLatin1Char('+') + QString::number(mynumber) +
         (team ? QStringLiteral("+true+") : QStringLiteral("+false+")) + text::wireSafe(playto) +
         QLatin1Char('+') + text::wireSafe(seconds));
}

void PlayerGame::justwatch()
{
    // Spies have no seat to leave. The tick follows the host's answer, not the click.
    if (!loggedin || !isseat(mynumber))
        return;
    send(cmd::buildJustwatch(mynumber, seats[mynumber].watching ? playagain : watch));
}

void PlayerGame::setwatch(int seat, bool on)
{
    if (loggedin)
        send(cmd::buildJustwatch(seat, on ? watch : playagain));
}

void PlayerGame::kicking(int number)
{
    if (amhost && loggedin)
        send(cmd::buildKickhim(mynumber, number));
}

void PlayerGame::chatit(const QString &text, const QString &colour)
{
    if (!loggedin || text.isEmpty())
        return;
    if (!text.startsWith(QLatin1Char('/')))
        send(cmd::buildChat(mynumber, text::wireSafe(text), colour));
    else if (text.startsWith(QLatin1String("/me")))
        send(cmd::buildAction(mynumber, text::wireSafe(text.mid(4)), colour));
    // Any other "/" text is a command this program does not know: nothing is sent.
}

void PlayerGame::phraseit(const QString &action, const QString &colour)
{
    if (!phraseready)
        return;
    send(cmd::buildAction(mynumber, action, colour));
    phraseready = false;
    phraseTimer->start();
}

void PlayerGame::soundit(int tag)
{
    // Spies cannot send chatter sounds. Nothing plays here: the host's relay comes back to us too.
    if (tag != 0 && !isspy() && loggedin)
        send(cmd::buildPlayasound(mynumber, tag));
}
