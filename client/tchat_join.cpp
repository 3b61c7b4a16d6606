// Hosting and joining from the window: the announcement of a hosted game, and why a join failed.
#include "client/tchat.h"

#include "client/core/localhost.h"
#include "lan/lan.h"
#include "platform/config.h"
#include "platform/errors.h"

namespace {
// The Windows Sockets code in an error text such as "Error #10061 (WSAECONNREFUSED)"; 0 if none.
int errorCode(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1Char('#'));
    return at < 0 ? 0 : text.mid(at + 1, 5).toInt();
}
} // namespace

void Tchat::startannouncing()
{
    // Only a game that was hosted on purpose is announced: never a solo one, never a failed start.
    if (with.localhost && playergame->hostsay() && !playergame->startup().solo)
        with.localhost->announce(playergame->startup().name);
}

void Tchat::connectfailed(const QString &error)
{
    const QString where =
        playergame->startup().address.isEmpty() ? playerlink->sock.HostName : playergame->startup().address;
    switch (errorCode(error)) {
    case 10061:
        joinfailed(QStringLiteral("Nobody is hosting a game at ") + where + QLatin1Char('.'));
        break;
    case 10060:
        joinfailed(QStringLiteral("The host at ") + where + QStringLiteral(" does not answer."));
        break;
    case 10051:
    case 10065:
        joinfailed(QStringLiteral("The host at ") + where + QStringLiteral(" cannot be reached from here."));
        break;
    default:
        joinfailed(QStringLiteral("Could not connect to ") + where + QStringLiteral(": ") + error +
                   QLatin1Char('.'));
    }
}

void Tchat::joinfailed(const QString &why)
{
    addlinetochat(QStringLiteral("0+") + why + QStringLiteral(" Use File / Join a Game... to try again."),
                  PlayerGame::systemcolour);
}
