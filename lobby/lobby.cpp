#include "lobby/lobby.h"

#include "lan/announce.h"
#include "lan/lan.h"
#include "quillet-host/table.h"
#include "webserve/request.h"
#include "webserve/webserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

struct Lobby::Open
{
    Open(std::FILE *out, const QString &name) : table(out, name + QStringLiteral(": ")) {}
    Table table;
    QString name;
    bool isPrivate = false;
    quint16 gamePort = 0;
    quint16 webPort = 0;
    qint64 emptySince = 0;
    // Players on this network find a public table in their join dialog.
    std::unique_ptr<GameAnnouncer> announcer;
};

Lobby::Lobby(quint16 firstPort, quint16 lastPort, std::FILE *logto, QObject *parent)
    : QObject(parent), first(firstPort), last(lastPort), out(logto), web(new WebServer(this)),
      sweeper(new QTimer(this))
{
    clock.start();
    web->onrequest = [this](const web::Request &r, const QByteArray &address, bool keepAlive) {
        return request(r, address, keepAlive);
    };
    connect(sweeper, &QTimer::timeout, this, &Lobby::sweep);
}

Lobby::~Lobby() = default;

bool Lobby::listen(quint16 port)
{
    if (!web->listen(port))
        return false;
    sweeper->start(sweepMs);
    return true;
}

void Lobby::line(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}

lobby::Listing Lobby::listing(const Open &t) const
{
    announce::Announcement a;
    const HostGame &game = t.table.host.game();
    game.describe(a);
    lobby::Listing l;
    l.name = t.name;
    l.isPrivate = t.isPrivate;
    l.seated = a.seated;
    l.watching = a.spies;
    l.running = a.running;
    l.playto = game.playto();
    l.turnseconds = game.turnseconds();
    l.hints = game.hints();
    // The shipped phrase lists are English; the lobby serves no others yet.
    l.language = QStringLiteral("en");
    l.gamePort = t.gamePort;
    l.webPort = t.webPort;
    l.emptySince = a.seated + a.spies > 0 ? -1 : t.emptySince;
    return l;
}

QList<lobby::Listing> Lobby::listings() const
{
    QList<lobby::Listing> all;
    for (const auto &[name, t] : tables)
        all.append(listing(*t));
    return all;
}

Lobby::Open *Lobby::newTable(bool isPrivate)
{
    QString name;
    do
        name = isPrivate ? lobby::privateName(*QRandomGenerator::system())
                         : QStringLiteral("table-%1").arg(++opened);
    while (tables.count(name));
    for (int port = first; port <= last; ++port) {
        bool taken = false;
        for (const auto &[n, t] : tables)
            taken = taken || t->gamePort == port;
        if (taken)
            continue;
        auto t = std::make_unique<Open>(out, name);
        t->name = name;
        t->isPrivate = isPrivate;
        t->table.setup(nullptr, false);
        // A port another program holds is passed over.
        if (!t->table.listen(quint16(port)).isEmpty() || !t->table.serveWeb(quint16(port + webOffset)))
            continue;
        t->gamePort = quint16(port);
        t->webPort = quint16(port + webOffset);
        t->emptySince = clock.elapsed();
        line(QStringLiteral("Opened %1 table %2 on game port %3, web port %4")
                 .arg(isPrivate ? QStringLiteral("private") : QStringLiteral("public"), name)
                 .arg(t->gamePort)
                 .arg(t->webPort));
        if (announcing && !isPrivate) {
            const HostGame &game = t->table.host.game();
            t->announcer = std::make_unique<GameAnnouncer>(
                name, t->gamePort, [&game](announce::Announcement &a) { game.describe(a); });
            t->announcer->start();
        }
        Open *made = t.get();
        tables.emplace(name, std::move(t));
        return made;
    }
    return nullptr;
}

namespace {

QByteArray json(int status, const QByteArray &body, bool head, bool keepAlive)
{
    return web::response(status, "application/json; charset=utf-8", body, head, keepAlive,
                         "Cache-Control: no-store\r\n");
}

QByteArray error(int status, const QString &why, bool keepAlive)
{
    return json(status,
                QJsonDocument(QJsonObject{{QStringLiteral("error"), why}}).toJson(QJsonDocument::Compact) +
                    '\n',
                false, keepAlive);
}

} // namespace

QByteArray Lobby::open(bool isPrivate, const QByteArray &peer, bool keepAlive)
{
    const QByteArray address = lobby::addressKey(peer);
    const QString refusal = limits.refusal(address, clock.elapsed(), int(tables.size()));
    if (!refusal.isEmpty()) {
        line(QStringLiteral("Refused a table to %1: %2").arg(QString::fromLatin1(address), refusal));
        return error(429, refusal, keepAlive);
    }
    Open *t = newTable(isPrivate);
    if (!t) {
        const QString why = QStringLiteral("Every game port of the lobby is taken; try again later");
        line(QStringLiteral("Refused a table to %1: %2").arg(QString::fromLatin1(address), why));
        return error(503, why, keepAlive);
    }
    limits.opened(address, clock.elapsed());
    return json(200, lobby::tableJson(listing(*t)), false, keepAlive);
}

QByteArray Lobby::request(const web::Request &r, const QByteArray &address, bool keepAlive)
{
    const QByteArray path = r.path();
    const bool post = r.method == "POST";
    // A request with a body never comes here: the web port refuses them all.
    const bool head = r.method == "HEAD";
    const bool get = r.method == "GET" || head;
    if (path == "/api/tables") {
        if (!get)
            return error(405, QStringLiteral("GET only"), keepAlive);
        return json(200, lobby::listingJson(listings()), head, keepAlive);
    }
    if (path == "/api/quick" || path == "/api/private") {
        if (!post)
            return error(405, QStringLiteral("POST only"), keepAlive);
        if (path == "/api/private")
            return open(true, address, keepAlive);
        const QList<lobby::Listing> all = listings();
        const int pick = lobby::quickPlay(all);
        if (pick < 0)
            return open(false, address, keepAlive);
        return json(200, lobby::tableJson(all[pick]), false, keepAlive);
    }
    if (path.startsWith("/t/")) {
        QByteArray name = path.mid(3);
        if (name.endsWith('/'))
            name.chop(1);
        const auto at = tables.find(QString::fromLatin1(name));
        if (!get || !lobby::validName(QString::fromLatin1(name)) || at == tables.end())
            return web::response(404, {}, "No such table\n", head, keepAlive);
        // The table's page is on its own web port, at the name the browser gave this one.
        QByteArray host;
        int port = 0;
        if (!web::splitHost(r.header("Host"), host, port))
            host = "localhost";
        if (host.contains(':'))
            host = '[' + host + ']';
        const QByteArray to = "http://" + host + ':' + QByteArray::number(at->second->webPort) + '/';
        return web::response(302, {}, "", head, keepAlive, "Location: " + to + "\r\n");
    }
    return {};
}

void Lobby::sweep()
{
    const qint64 now = clock.elapsed();
    for (auto i = tables.begin(); i != tables.end();) {
        Open &t = *i->second;
        const lobby::Listing l = listing(t);
        // Empty from the last look that found somebody.
        if (l.emptySince < 0)
            t.emptySince = now;
        if (lobby::idleClosing(l, now, idleMs)) {
            line(QStringLiteral("Closed table %1: empty for %2 s").arg(t.name).arg(idleMs / 1000));
            t.table.close(QStringLiteral("closes this table"));
            i = tables.erase(i);
        } else {
            ++i;
        }
    }
}

void Lobby::closeAll()
{
    sweeper->stop();
    web->close();
    for (auto &[name, t] : tables) {
        line(QStringLiteral("Closed table %1: the lobby stops").arg(name));
        t->table.close(QStringLiteral("is closing: the lobby stops"));
    }
}
