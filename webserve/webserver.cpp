#include "webserve/webserver.h"

#include "host/seat.h"
#include "platform/errors.h"
#include "webserve/request.h"
#include "webserve/webseat.h"

#include <QFile>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

WebServer::WebServer(QObject *parent) : QObject(parent), server(new QTcpServer(this))
{
    clock.start();
    connect(server, &QTcpServer::newConnection, this, [this] { guard([&] { accept(); }); });
}

WebServer::~WebServer()
{
    for (const QPointer<WebSeat> &seat : std::as_const(handed))
        if (seat)
            seat->goodbye();
    close();
}

bool WebServer::listen(quint16 port)
{
    return server->listen(QHostAddress::Any, port);
}

void WebServer::close()
{
    server->close();
    const QList<QTcpSocket *> all = open.keys();
    for (QTcpSocket *s : all)
        drop(s);
}

bool WebServer::listening() const
{
    return server->isListening();
}

quint16 WebServer::port() const
{
    return server->serverPort();
}

void WebServer::allowName(const QString &name)
{
    QByteArray n;
    int port = 0;
    if (web::splitHost(name.toLatin1(), n, port) && !allowed.contains(n))
        allowed.append(n);
}

qint64 WebServer::held() const
{
    qint64 total = 0;
    for (auto i = open.cbegin(); i != open.cend(); ++i)
        total += i.key()->bytesToWrite() + i.key()->bytesAvailable() + i->head.size();
    return total;
}

void WebServer::accept()
{
    while (server->hasPendingConnections()) {
        QTcpSocket *s = server->nextPendingConnection();
        Connection c;
        c.address = s->peerAddress().toString().toLatin1();
        makeRoom(c.address);
        c.started = c.active = clock.elapsed();
        // A head must come complete before the deadline; each request starts it again, up to the
        // connection's life.
        c.deadline = new QTimer(s);
        c.deadline->setSingleShot(true);
        connect(c.deadline, &QTimer::timeout, this, [this, s] { drop(s); });
        open.insert(s, c);
        restartDeadline(s);
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // What the system holds for a client that does not read is bounded too.
        s->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, sendBuffer);
        // What waits unread is bounded by the head's limit: a client that sends more is not read.
        s->setReadBufferSize(web::maxHead);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { guard([&] { serve(s); }); });
        // Requests sent ahead wait while answers are unread, and go on as those leave.
        connect(s, &QTcpSocket::bytesWritten, this, [this, s] {
            guard([&] {
                if (open.contains(s))
                    open[s].active = clock.elapsed();
                serve(s);
            });
        });
        connect(s, &QTcpSocket::disconnected, this, [this, s] { drop(s); });
    }
}

void WebServer::makeRoom(const QByteArray &address)
{
    // The idlest connection, of that address only or of all: the one whose last byte is oldest.
    auto idlest = [this](const QByteArray *of) {
        QTcpSocket *pick = nullptr;
        qint64 at = 0;
        for (auto i = open.cbegin(); i != open.cend(); ++i) {
            if ((!of || i->address == *of) && (!pick || i->active < at)) {
                pick = i.key();
                at = i->active;
            }
        }
        return pick;
    };
    auto mine = [&] {
        return std::count_if(open.cbegin(), open.cend(), [&](const Connection &c) { return c.address == address; });
    };
    while (!open.isEmpty() && mine() >= qMax(1, peraddress))
        drop(idlest(&address));
    while (!open.isEmpty() && open.size() >= qMax(1, maxconnections))
        drop(idlest(nullptr));
}

void WebServer::restartDeadline(QTcpSocket *s)
{
    const Connection &c = open[s];
    const qint64 left = c.started + lifems - clock.elapsed();
    c.deadline->start(int(qBound(qint64(0), left, qint64(headms))));
}

void WebServer::serve(QTcpSocket *s)
{
    while (open.contains(s) && s->bytesToWrite() <= maxunread) {
        Connection &c = open[s];
        if (s->bytesAvailable() > 0 && c.head.size() < web::maxHead) {
            c.head += s->read(web::maxHead - c.head.size());
            c.active = clock.elapsed();
        }
        switch (web::scan(c.head, c.scanned)) {
        case web::Head::Incomplete:
            return;
        case web::Head::TooLarge:
            return finish(s, web::response(431, {}, "Request head too large\n", false, false));
        case web::Head::Bad:
            return finish(s, web::response(400, {}, "Bad request\n", false, false));
        case web::Head::Complete:
            break;
        }
        web::Request r;
        qsizetype used = 0;
        const web::Head parsed = web::parse(c.head.left(c.scanned), r, used);
        c.head.remove(0, c.scanned);
        c.scanned = 0;
        if (parsed != web::Head::Complete)
            return finish(s, web::response(400, {}, "Bad request\n", false, false));
        const bool head = r.method == "HEAD";
        const QByteArray host = r.header("Host");
        if (!host.isEmpty() && !hostAllowed(host))
            return finish(s, web::response(421, {}, "Not a name of this game's host\n", head, false));
        if (onrequest) {
            const bool keepAlive = r.keepAlive() && clock.elapsed() - c.started < lifems;
            if (const QByteArray reply = onrequest(r, c.address, keepAlive); !reply.isEmpty()) {
                if (!answer(s, reply, keepAlive))
                    return;
                continue;
            }
        }
        if (r.method != "GET" && !head)
            return finish(s, web::response(405, {}, "Only GET and HEAD\n", head, false));
        if (r.path() == web::playPath) {
            if (!r.upgrade() || head)
                return finish(s, web::response(400, {}, "A WebSocket only\n", head, false));
            if (!web::sameOrigin(r.header("Origin"), host))
                return finish(s, web::response(403, {}, "Only from the game's own page\n", false, false));
            if (const QByteArray problem = web::handshakeProblem(r); !problem.isEmpty())
                return finish(s, problem);
            return openWebSocket(s, web::switching(r));
        }
        // A connection is served for so long from its start; its last answer says so.
        const bool keepAlive = r.keepAlive() && clock.elapsed() - c.started < lifems;
        const web::File file = web::resolve(r.path());
        QByteArray reply;
        if (file.resource.isEmpty()) {
            reply = web::response(404, {}, "Not found\n", head, keepAlive);
        } else {
            reply = web::response(200, file.type, contents(file.resource), head, keepAlive);
        }
        if (!answer(s, reply, keepAlive))
            return;
    }
}

bool WebServer::answer(QTcpSocket *s, QByteArray reply, bool keepAlive)
{
    // Room for the answer among all that is held: the connections that leave the most unread go
    // first, this one too.
    while (held() + reply.size() > maxheld) {
        QTcpSocket *most = s;
        for (auto i = open.cbegin(); i != open.cend(); ++i)
            if (i.key()->bytesToWrite() > most->bytesToWrite())
                most = i.key();
        if (most->bytesToWrite() == 0)
            break;
        drop(most);
        if (most == s)
            return false;
    }
    if (!keepAlive) {
        finish(s, reply);
        return false;
    }
    s->write(reply);
    open[s].active = clock.elapsed();
    restartDeadline(s);
    return true;
}

void WebServer::finish(QTcpSocket *s, const QByteArray &reply)
{
    // Nothing more is read; the deadline still ends a client that does not take the answer.
    disconnect(s, &QTcpSocket::readyRead, this, nullptr);
    disconnect(s, &QTcpSocket::bytesWritten, this, nullptr);
    open[s].head.clear();
    s->write(reply);
    s->disconnectFromHost();
}

void WebServer::drop(QTcpSocket *s)
{
    if (!s || !open.remove(s))
        return;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

QByteArray WebServer::contents(const QString &resource)
{
    // Read once: the program's files are few and small, and some are stored compressed.
    auto at = files.find(resource);
    if (at == files.end()) {
        QFile f(resource);
        f.open(QIODevice::ReadOnly);
        at = files.insert(resource, f.readAll());
    }
    return *at;
}

bool WebServer::hostAllowed(const QByteArray &host)
{
    if (anyHost || web::hostAllowed(host, port(), names) || web::hostAllowed(host, port(), allowed))
        return true;
    // The machine's addresses change (a new lease, another network): looked up again, at most once
    // a second however many requests ask.
    if (namesAt >= 0 && clock.elapsed() - namesAt < 1000)
        return false;
    namesAt = clock.elapsed();
    names = {"localhost"};
    if (const QByteArray name = QHostInfo::localHostName().toLower().toLatin1(); !name.isEmpty()) {
        names << name << name + ".local";
        if (const QByteArray domain = QHostInfo::localDomainName().toLower().toLatin1(); !domain.isEmpty())
            names << name + '.' + domain;
    }
    for (QHostAddress a : QNetworkInterface::allAddresses()) {
        a.setScopeId({});
        names << a.toString().toLower().toLatin1();
    }
    return web::hostAllowed(host, port(), names);
}

void WebServer::openWebSocket(QTcpSocket *s, const QByteArray &handshake)
{
    // The connection is the seat's from now on, with whatever came after the handshake.
    const Connection c = open.take(s);
    delete c.deadline;
    s->disconnect(this);
    s->setReadBufferSize(0);
    s->write(handshake);
    auto *seat = new WebSeat(s, c.head, this);
    if (onseat) {
        handed.removeAll(nullptr);
        handed.append(seat);
        onseat(seat);
    } else {
        seat->close();
        seat->deleteLater();
    }
}
