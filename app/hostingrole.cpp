#include "app/hostingrole.h"

#include "address/invitation.h"
#include "app/chatline.h"
#include "client/tchat.h"
#include "host/hostgame.h"
#include "host/phrasefile.h"
#include "router/localaddress.h"
#include "router/routeropening.h"

#include <utility>

HostingRole::HostingRole(Tchat *chat, quint16 port, bool openRouter, QObject *parent)
    : QObject(parent), chat(chat), gamePort(port), wantRouter(openRouter)
{
    // The link and the router wait until the hosting player is in its own game.
    connect(chat->game(), &PlayerGame::loggedIn, this, &HostingRole::checkReady);
}

HostingRole::~HostingRole()
{
    end();
}

bool HostingRole::isHostingCommand(const QStringList &params)
{
    return params.size() >= 3 && params[2] == QLatin1String("true");
}

void HostingRole::end()
{
    if (ended)
        return;
    ended = true;
    if (opening)
        opening->closeAndWait(1000);
}

QString HostingRole::externalAddress() const
{
    return opening ? opening->externalAddress() : QString();
}

QString HostingRole::address() const
{
    const QString external = externalAddress();
    return external.isEmpty() ? router::localAddress() : external;
}

QString HostingRole::link() const
{
    return invitation::build(address(), gamePort);
}

bool HostingRole::waitingForRouter() const
{
    return opening && opening->state() == RouterOpening::State::Opening;
}

void HostingRole::usePhrases(HostGame &game, const QString &path)
{
    if (path.isEmpty())
        return;
    const phrasefile::Lists own = phrasefile::load(path);
    if (!own.ok()) {
        phrasesSaid = QStringLiteral("Your phrase file cannot be used (") + own.error +
                      QStringLiteral("); this game plays the built-in lists.");
        return;
    }
    game.setPhraseLists(own.lists);
    phrasesSaid = QStringLiteral("This game's phrases come from ") + path + QLatin1Char('.');
}

void HostingRole::checkReady()
{
    if (ended || !chat || !chat->game()->loggedin() || !chat->game()->hostsay() || opening || shown)
        return;
    if (!phrasesSaid.isEmpty())
        sayInChat(chat, std::exchange(phrasesSaid, QString()));
    if (!wantRouter) {
        showLink();
        return;
    }
    opening = std::make_unique<RouterOpening>();
    connect(opening.get(), &RouterOpening::opened, this, [this](const QString &) {
        if (!shown)
            sayInChat(
                chat,
                QStringLiteral("Your router opened port %1 for players outside your network.").arg(gamePort));
        showLink();
        emit changed();
    });
    // The link outside stops working: said once; the Invite window then offers only the others.
    connect(opening.get(), &RouterOpening::lapsed, this, [this](const QString &) {
        if (!lapseSaid)
            sayInChat(chat, router::lapseNotice(gamePort));
        lapseSaid = true;
        lastShown.clear(); // the link is said again when the router renews
        emit changed();
    });
    connect(opening.get(), &RouterOpening::failed, this, [this](const QString &) {
        sayInChat(chat, router::refusalNotice(gamePort));
        showLink();
        emit changed();
    });
    router::Request r;
    r.port = gamePort;
    r.webPort = webPort;
    r.description = QStringLiteral("Quillet game: ") + chat->game()->startup().name;
    r.descriptionUrl = router::descriptionUrlFromEnvironment();
    if (const int lease = router::leaseFromEnvironment(); lease > 0)
        r.leaseSeconds = lease;
    opening->open(r);
    emit changed();
}

void HostingRole::showLink()
{
    // A renewal that finds a new external address gives a second opened(): the new link is said
    // then, the same one never twice.
    const QString l = link();
    if (shown && l == lastShown)
        return;
    shown = true;
    lastShown = l;
    sayInChat(chat, QStringLiteral("Invite friends to this game with its link: ") + l);
    if (webPort != 0)
        sayInChat(chat, QStringLiteral("Friends without Quillet join in a web browser at ") +
                            invitation::webAddress(address(), webPort));
}
