#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QTcpServer;
class QTcpSocket;
class QTimer;
class Seat;
namespace web {
struct Request;
}

// The web port: the page's files and the program's pictures and sounds over HTTP, and the game's
// WebSocket at /play, whose connections become seats. A small responder of its own answers GET
// and HEAD and, once a WebSocket request's path, Host and Origin are checked, answers its handshake
// and hands the connection to a seat that speaks the protocol.
// Every connection has a deadline for each request head, and for its whole life, and a bound on a
// head's length; only so many connections are served at once, fewer from any one address, and the
// answers all of them leave unread are bounded together, so slow, idle or half-open clients cannot
// hold the host or its memory.
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
    // A name or address players were given for this machine beyond its own (the router's external
    // address): requests naming it in their Host are answered too.
    void allowName(const QString &name);

    // Each WebSocket that opened, as a seat; whoever takes it owns it. Without a taker it is closed.
    std::function<void(Seat *)> onseat;
    // Requests a program answers itself, of any method, before the page's files: the whole
    // response (kept alive as `keepAlive` says), or empty to leave the request to the files.
    std::function<QByteArray(const web::Request &, const QByteArray &address, bool keepAlive)> onrequest;

    // Requests are answered whatever their Host names, when the names and port that reach the
    // host cannot be known to it (a fleet's node and the port mapped to this one).
    bool anyHost = false;
    // HTTP connections served at once; a newcomer past it takes the place of the idlest.
    int maxconnections = 64;
    // HTTP connections from one address; a newcomer past it takes the place of that address's idlest.
    int peraddress = 8;
    // Milliseconds a connection has for each request head, and a WebSocket for its handshake.
    int headms = 10000;
    // Milliseconds a connection kept open is served from its start, however busy.
    int lifems = 30000;
    // Bytes of answers a connection may leave unread before its next request is served.
    qint64 maxunread = 1024 * 1024;
    // Bytes all HTTP connections together may hold; past it those holding the most unread are let go.
    qint64 maxheld = 4 * 1024 * 1024;
    // Open HTTP connections (those on their way to a WebSocket included).
    int connections() const { return int(open.size()); }
    // Bytes held for them now.
    qint64 held() const;

private:
    struct Connection
    {
        QTimer *deadline = nullptr;
        QByteArray address;
        QByteArray head;       // the request head so far
        qsizetype scanned = 0; // how much of it has been looked at
        qint64 started = 0;    // on the server's clock
        qint64 active = 0;     // the last byte read or answer sent
    };
    void accept();
    void makeRoom(const QByteArray &address);
    void serve(QTcpSocket *socket);
    bool answer(QTcpSocket *socket, QByteArray reply, bool keepAlive);
    void finish(QTcpSocket *socket, const QByteArray &reply);
    void drop(QTcpSocket *socket);
    void restartDeadline(QTcpSocket *socket);
    bool hostAllowed(const QByteArray &host);
    QByteArray contents(const QString &resource);
    void openWebSocket(QTcpSocket *socket, const QByteArray &handshake);

    QTcpServer *server;
    QHash<QTcpSocket *, Connection> open;
    QElapsedTimer clock;
    // The names a Host may give: this machine's addresses and names, and those allowed besides.
    QList<QByteArray> names, allowed;
    // The files served so far, by resource path.
    QHash<QString, QByteArray> files;
    // Bytes the system may hold for an HTTP connection's answers (it doubles them).
    static constexpr int sendBuffer = 64 * 1024;
    qint64 namesAt = -1;
    // The seats handed out, told goodbye while their connections still stand when the server goes.
    QList<QPointer<class WebSeat>> handed;
};
