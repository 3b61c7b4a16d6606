#include "app/program.h"

#include "address/invitation.h"
#include "app/chatline.h"
#include "app/hostingrole.h"
#include "app/hostjoin.h"
#include "app/serverhost.h"
#include "app/singleinstance.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/playersettings.h"
#include "features/spylist.h"
#include "host/tserver.h"
#include "platform/config.h"
#include "webserve/request.h"
#include "webserve/webserver.h"
#include "windows/invitewindow.h"
#include "windows/joingamedialog.h"
#include "windows/phraseeditor.h"
#include "windows/snapshotbrowser.h"
#include "windows/startupwindows.h"
#include "windows/tgamestartform.h"

#include <QAction>
#include <QCheckBox>
#include <QScreen>
#include <QTimer>

Program::Program(const QStringList &params)
{
    chat = std::make_unique<Tchat>();
    marker = std::make_unique<RunningMarker>(QStringLiteral("quillet"));
    server = std::make_unique<TServer>();
    spylist = std::make_unique<Tspylist>();
    gamestartform = std::make_unique<Tgamestartform>();

    localhost = std::make_unique<ServerHost>(*server);
    // After the error box, rather than a loading line that never ends.
    localhost->onListenFailed = [this] { QTimer::singleShot(0, chat.get(), [this] { hostingFailed(); }); };
    chat->attach({.downloadWindow = [this] { return downloadWindow(); },
                  .helpWindow = [this] { return helpWindow(); },
                  .aboutWindow = [this] { return made(about); },
                  .spylist = spylist.get(),
                  .phrases = [this] { return made(phrases); },
                  .gamestartform = gamestartform.get(),
                  .snapshot = [this] { return made(snapshot); },
                  .localhost = localhost.get()});
    chat->setparams(params);
    hostjoin = std::make_unique<HostJoin>(chat.get());

    if (HostingRole::isHostingCommand(params)) {
        // Browsers join at the web port, unless the player turned it off.
        localhost->webport = hostjoin->webPageChosen() ? web::portFromEnvironment() : 0;
        localhost->onWebFailed = [this] {
            if (hosting)
                hosting->webPort = 0;
            QTimer::singleShot(0, chat.get(), [this] {
                sayInChat(chat.get(), QStringLiteral("Browsers cannot join: another program holds port %1.")
                                          .arg(localhost->webport));
            });
        };
        const uint port = config::gamePort().toUInt();
        hosting = std::make_unique<HostingRole>(chat.get(), quint16(port <= 65535 ? port : 0),
                                                hostjoin->openRouterChosen());
        hosting->usePhrases(server->game(),
                            PlayerSettings::read(chat->settingsfile()).text(PlayerSettings::PhraseFile));
        // Hosting ends with the window (File / Exit, a stop signal, another role): the router's
        // mapping goes before the next copy may ask for its own.
        QObject::connect(chat.get(), &Tchat::closed, hosting.get(), [h = hosting.get()] { h->end(); });
        hosting->webPort = localhost->webport;
        QObject::connect(hosting.get(), &HostingRole::changed, chat.get(), [this] {
            if (const QString external = hosting->externalAddress(); !external.isEmpty())
                localhost->allowWebName(external);
            if (inviteWindow && inviteWindow->isVisible())
                fillInvite();
        });
    }
    chat->setinviteavailable(hosting != nullptr);
    // The start form's letter hints are kept from one run to the next.
    gamestartform->hints->setChecked(
        PlayerSettings::read(chat->settingsfile()).isOn(PlayerSettings::LetterHints));
    QObject::connect(gamestartform->hints, &QCheckBox::toggled, chat.get(), [c = chat.get()](bool on) {
        PlayerSettings s;
        s.setOn(PlayerSettings::LetterHints, on);
        c->settingswritten(s.save(c->settingsfile(), {PlayerSettings::LetterHints}));
    });
    QObject::connect(chat.get(), &Tchat::inviteRequested, chat.get(), [this] { showInvite(); });
    QObject::connect(chat.get(), &Tchat::gameLinkOpened, hostjoin.get(), &HostJoin::openLink);
    // A link as the only parameter: the join dialog, filled in, once the window is up.
    if (const QString link = linkParameter(params); !link.isEmpty())
        QTimer::singleShot(0, hostjoin.get(), [this, link] { openLinkParameter(link); });
}

template <class Window> Window *Program::made(std::unique_ptr<Window> &window)
{
    if (!window)
        window = std::make_unique<Window>();
    return window.get();
}

Thelp *Program::helpWindow()
{
    if (!help)
        QObject::connect(made(help), &Thelp::aboutRequested, chat.get(),
                         [c = chat.get()] { c->aboutClicked(); });
    return help.get();
}

Tdownload *Program::downloadWindow()
{
    if (download)
        return download.get();
    // Without the lobby, "Play with Others" leads to hosting or joining from the game itself.
    QObject::connect(made(download), &Tdownload::lobbyMissing, hostjoin.get(), [this] {
        download->hide();
        hostjoin->offerHostOrJoin();
    });
    // Starting the lobby or its installer ends the game as File/Exit does.
    QObject::connect(download.get(), &Tdownload::closeGame, chat.get(), [c = chat.get()] { c->close(); });
    return download.get();
}

QString Program::linkParameter(const QStringList &params)
{
    return params.size() == 1 && invitation::isLink(params[0].trimmed()) ? params[0] : QString();
}

void Program::openLinkParameter(const QString &link)
{
    hostjoin->openLink(link);
    const QString why = JoinGameDialog::readLink(link).error;
    if (!why.isEmpty())
        sayInChat(chat.get(), QStringLiteral("The invitation link cannot be used: ") + why);
    // The window has no game of its own: say what is left to do when the dialog is turned down.
    QObject::connect(
        hostjoin->joinDialog, &QDialog::rejected, chat.get(),
        [c = chat.get()] {
            sayInChat(c,
                      QStringLiteral("No game joined. Use File / Join a Game... or File / Host a Game... to "
                                     "play with others."));
        },
        Qt::SingleShotConnection);
}

void Program::linkArrived(const QString &link)
{
    if (!hostjoin)
        return;
    if (!chat->game()->loggedin()) {
        hostjoin->openLink(link);
        return;
    }
    // The player may be typing into the chat: nothing takes the keyboard, and only a click joins.
    const invitation::Link l = JoinGameDialog::readLink(link);
    if (!l.ok()) {
        sayInChat(chat.get(), QStringLiteral("The invitation link cannot be used: ") + l.error);
        return;
    }
    sayInChat(chat.get(),
              QStringLiteral("A link to join ") + l.host + QLatin1Char(':') + QString::number(l.port) +
                  QStringLiteral(" arrived."),
              QStringLiteral("Click to join."), invitation::build(l.host, l.port));
}

void Program::hostingFailed()
{
    const QString port = server->listener.PortName;
    chat->setWindowTitle(Tchat::title + QStringLiteral(" - Port ") + port + QStringLiteral(" is taken"));
    const QString why = QStringLiteral("The game could not start: another program, perhaps another game, "
                                       "holds port ") +
                        port + QStringLiteral(". Use File / Join a Game... to join a game");
    const quint16 number = port.toUShort();
    if (number == 0)
        return sayInChat(chat.get(), why + QLatin1Char('.'));
    sayInChat(chat.get(), why + QStringLiteral(", or the one on this computer."),
              QStringLiteral("Click to join it."), invitation::build(QStringLiteral("127.0.0.1"), number));
}

void Program::fillInvite()
{
    inviteWindow->setEntries(invite::entries(hosting->externalAddress(), invite::networkAddresses(),
                                             hosting->port(),
                                             localhost->web() ? localhost->web()->port() : 0));
}

void Program::showInvite()
{
    if (!hosting)
        return;
    if (!inviteWindow)
        inviteWindow = std::make_unique<InviteWindow>(chat.get());
    fillInvite();
    // Over the game window, as the other dialogs open, and whole on its screen.
    if (!inviteWindow->isVisible()) {
        QRect r = inviteWindow->frameGeometry();
        r.moveCenter(chat->frameGeometry().center());
        if (const QScreen *screen = chat->screen()) {
            const QRect area = screen->availableGeometry();
            r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() - r.width())));
            r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() - r.height())));
        }
        inviteWindow->move(r.topLeft());
    }
    inviteWindow->show();
    inviteWindow->raise();
    inviteWindow->activateWindow();
}

Program::~Program()
{
    // The router's mapping goes first; sockets go before the windows whose handlers they call.
    hosting.reset();
    inviteWindow.reset();
    hostjoin.reset();
    chat.reset();
    localhost.reset();
    server.reset();
}
