// Program start on the main window: defaults, the command line and the copy's role.
#include "client/tchat.h"

#include "address/address.h"
#include "client/core/localhost.h"
#include "features/spylist.h"
#include "platform/config.h"
#include "platform/errors.h"
#include "protocol/playername.h"
#include "widgets/flatbutton.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QRandomGenerator>

void Tchat::FormCreate()
{
    defaultwidth = PlayerSettings::entry(PlayerSettings::Width).fallback;
    defaultheight = PlayerSettings::entry(PlayerSettings::Height).fallback;
    move(3, 3);
    resize(defaultwidth, defaultheight);
    // The saved placement, text size, colour, sounds and phrases show from the start, also when
    // the join then fails. The file is read again at login, and written only from then on.
    loadinifile();
    inifileread = false;
}

void Tchat::FormShow()
{
    processparams();
}

void Tchat::processparams()
{
    playergame->offerstart(false);
    playergame->setloginname({});
    if (params.isEmpty()) {
        addlinetochat(QStringLiteral("0+Loading Solo Game..Please wait."), PlayerGame::systemcolour);
        if (QWidget *download = made(with.downloadWindow))
            download->show();
        playergame->setstartup(QStringLiteral("You"), QStringLiteral("127.0.0.1"), true);
        if (with.localhost)
            with.localhost->setsolo();
        hostpress();
        return;
    }
    addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."), PlayerGame::systemcolour);
    QString name, address;
    for (int i = 1; i <= params.size(); ++i) {
        if (i == 1)
            name = params[0];
        else if (i == 2)
            address = params[1];
        else if (i == 3) {
            // A name the host would refuse is refused before anything connects.
            if (const QString why = playername::loginproblem(name); !why.isEmpty()) {
                addlinetochat(QStringLiteral("0+Can't play as \"") + name + QStringLiteral("\": ") + why +
                                  QStringLiteral(" Use File / Host a Game... or Join a Game... to play."),
                              PlayerGame::systemcolour);
                return;
            }
            playergame->setstartup(name, address, false);
            if (params[2] == QLatin1String("true")) {
                hostpress();
                startannouncing();
            } else
                joinpress();
            playerlink->openlobbylink();
            break; // further parameters are ignored
        }
    }
}

void Tchat::hostpress()
{
    if (!with.localhost)
        return;
    with.localhost->listen();
    playergame->setloginname(playergame->startup().name);
    playerlink->sock.HostName = QStringLiteral("127.0.0.1");
    playerlink->sock.Open();
    playergame->hostingstarted();
}

void Tchat::joinpress()
{
    playergame->setloginname(playergame->startup().name);
    // The address may name the host's port: "host:7800".
    const address::Target target = address::split(playergame->startup().address, config::gamePort());
    if (!target.error.isEmpty()) {
        joinfailed(target.error);
        return;
    }
    playerlink->sock.HostName = target.host;
    playerlink->sock.PortName = target.port;
    try {
        playerlink->sock.Open();
    } catch (const ESockException &e) {
        if (e.message().startsWith(QLatin1String("Host Lookup")))
            joinfailed(QStringLiteral("Could not find the host \"") + target.host + QStringLiteral("\"."));
        throw;
    }
}

void Tchat::hostclosed()
{
    if (fullbox || playergame->gameleft())
        return;
    if (!playergame->loggedin()) {
        // Never let in: the window stays, so the player can try another game.
        joinfailed(QStringLiteral("The host closed the connection before you could join."));
        return;
    }
    leftgame(playergame->connectionbroken() ? QStringLiteral("The connection to the host was lost.")
                                            : QStringLiteral("The host has ended the game."));
}

void Tchat::FormClose()
{
    saveplacement();
}

void Tchat::showCentred(QWidget *window)
{
    if (!window)
        return;
    window->move(frameGeometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
}

void Tchat::contentsClicked()
{
    showCentred(made(with.helpWindow));
}

void Tchat::aboutClicked()
{
    showCentred(made(with.aboutWindow));
}
