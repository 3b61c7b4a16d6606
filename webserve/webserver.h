#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QTcpServer;
class QTcpSocket;
class QTimer;
class QWebSocketServer;
class Seat;

// The web port: the page's files and the program's pictures and sounds over HTTP, and the game's
// WebSocket at /play, whose connections become seats. A small responder of its own answers GET
// and HEAD and hands a WebSocket request, once its path and Origin are checked, to Qt WebSockets.
// (Qt HTTP Server as Debian's Qt 6.4 has it upgrades every WebSocket request before the program may
// look at its Origin, and bounds neither a request head's length nor the time it takes.)
// Every connection has a deadline for each request head and a bound on its length, and only so
// many connections are served at once, so slow or half-open clients cannot hold the host.
class WebServer : public QObject
{
    Q_OBJECT
public:
    explicit WebServer(QObject *parent = nullptr);
    ~WebServer() override;

    // Listens on every address; false when the port cannot be had.
    bool listen(quint16 port);
    void close();
    bool listening() const;
    quint16 port() const;

    // Each WebSocket that opened, as a seat; whoever takes it owns it. Without a taker it is closed.
    std::function<void(Seat *)> onseat;

    // HTTP connections served at once; more are closed as they come.
    int maxconnections = 64;
    // Milliseconds a connection has for each request head, and a WebSocket for its handshake.
    int headms = 10000;
    // Bytes of answers a connection may leave unread before its next request is served.
    qint64 maxunread = 1024 * 1024;
    // Open HTTP connections (those on their way to a WebSocket included).
    int connections() const { return int(open.size()); }

private:
    void accept();
    void serve(QTcpSocket *socket);
    void finish(QTcpSocket *socket, const QByteArray &reply);
    void drop(QTcpSocket *socket);
    void webSocketOpened();

    QTcpServer *server;
    QWebSocketServer *sockets;
    // Each open HTTP connection and its deadline.
    QHash<QTcpSocket *, QTimer *> open;
    // The seats handed out, told goodbye while their connections still stand when the server goes.
    QList<QPointer<class WebSeat>> handed;
};
