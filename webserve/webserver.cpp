#include "webserve/webserver.h"

#include "host/seat.h"
#include "platform/errors.h"
#include "webserve/request.h"
#include "webserve/webseat.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

WebServer::WebServer(QObject *parent)
    : QObject(parent), server(new QTcpServer(this)),
      sockets(new QWebSocketServer(QStringLiteral("Quillet"), QWebSocketServer::NonSecureMode, this))
{
    connect(server, &QTcpServer::newConnection, this, [this] { guard([&] { accept(); }); });
    connect(sockets, &QWebSocketServer::newConnection, this, [this] { guard([&] { webSocketOpened(); }); });
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
    sockets->setHandshakeTimeout(headms);
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

void WebServer::accept()
{
    while (server->hasPendingConnections()) {
        QTcpSocket *s = server->nextPendingConnection();
        if (open.size() >= maxconnections) {
            s->abort();
            s->deleteLater();
            continue;
        }
        // A head must come complete before the deadline; each request starts it again.
        auto *deadline = new QTimer(s);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, this, [this, s] { drop(s); });
        deadline->start(headms);
        open.insert(s, deadline);
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // What waits unread is bounded by the head's limit: a client that sends more is not read.
        s->setReadBufferSize(2 * web::maxHead);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { guard([&] { serve(s); }); });
        // Requests sent ahead wait while answers are unread, and go on as those leave.
        connect(s, &QTcpSocket::bytesWritten, this, [this, s] { guard([&] { serve(s); }); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] { drop(s); });
    }
}

void WebServer::serve(QTcpSocket *s)
{
    while (open.contains(s) && s->bytesToWrite() <= maxunread) {
        // Looked at, not read: a WebSocket's handshake must still be there for Qt WebSockets.
        const QByteArray bytes = s->peek(web::maxHead);
        web::Request r;
        qsizetype used = 0;
        switch (web::parse(bytes, r, used)) {
        case web::Head::Incomplete:
            return;
        case web::Head::TooLarge:
            return finish(s, web::response(431, {}, "Request head too large\n", false, false));
        case web::Head::Bad:
            return finish(s, web::response(400, {}, "Bad request\n", false, false));
        case web::Head::Complete:
            break;
        }
        const bool head = r.method == "HEAD";
        if (r.method != "GET" && !head)
            return finish(s, web::response(405, {}, "Only GET and HEAD\n", head, false));
        if (r.path() == web::playPath) {
            if (!r.upgrade() || head)
                return finish(s, web::response(400, {}, "A WebSocket only\n", head, false));
            if (!web::sameOrigin(r.header("Origin"), r.header("Host")))
                return finish(s, web::response(403, {}, "Only from the game's own page\n", false, false));
            // The connection is the WebSocket server's from now on, its handshake unread.
            delete open.take(s);
            s->disconnect(this);
            s->setReadBufferSize(0);
            sockets->handleConnection(s);
            return;
        }
        s->read(used);
        const web::File file = web::resolve(r.path());
        QByteArray reply;
        if (file.resource.isEmpty()) {
            reply = web::response(404, {}, "Not found\n", head, r.keepAlive());
        } else {
            QFile f(file.resource);
            f.open(QIODevice::ReadOnly);
            reply = web::response(200, file.type, f.readAll(), head, r.keepAlive());
        }
        if (!r.keepAlive())
            return finish(s, reply);
        s->write(reply);
        open.value(s)->start(headms);
    }
}

void WebServer::finish(QTcpSocket *s, const QByteArray &reply)
{
    // Nothing more is read; the deadline still ends a client that does not take the answer.
    disconnect(s, &QTcpSocket::readyRead, this, nullptr);
    disconnect(s, &QTcpSocket::bytesWritten, this, nullptr);
    s->write(reply);
    s->disconnectFromHost();
}

void WebServer::drop(QTcpSocket *s)
{
    if (!open.remove(s))
        return;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

void WebServer::webSocketOpened()
{
    while (sockets->hasPendingConnections()) {
        auto *seat = new WebSeat(sockets->nextPendingConnection(), this);
        if (onseat) {
            handed.removeAll(nullptr);
            handed.append(seat);
            onseat(seat);
        } else {
            seat->close();
            seat->deleteLater();
        }
    }
}
