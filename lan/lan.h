#pragma once

#include "lan/announce.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>
#include <functional>
#include <memory>

// Games on this network: a hosting copy announces its game; a join dialog listens.
// Port, destination and prefix come from config (announcePort, announceAddress, announcePrefix).

// Sends the announcement of one hosted game every two seconds while it runs.
class GameAnnouncer : public QObject
{
    Q_OBJECT
public:
    // Fills in the seated players, the spies and whether a game runs, just before each datagram.
    using Count = std::function<void(announce::Announcement &)>;
    static constexpr int interval = 2000;

    GameAnnouncer(const QString &name, quint16 gamePort, Count count, QObject *parent = nullptr);

    void start();
    void stop();
    bool running() const { return timer.isActive(); }
    // One datagram now.
    void announceNow();

private:
    announce::Announcement base;
    Count count;
    QUdpSocket socket;
    QTimer timer;
    QHostAddress destination;
    quint16 port = 0;
    QByteArray prefix;
};

// Hears the announcements and keeps the list of games, newest first, dropping the silent ones.
// The socket is our own, watched for reading for as long as it is open: each notification reads
// a portion of the waiting datagrams, and the watch fires again at once while any remain, so a
// flood is read in portions between the window's other events and a real game still gets in.
class GameListener : public QObject
{
    Q_OBJECT
public:
    explicit GameListener(QObject *parent = nullptr);
    ~GameListener() override;
    // Datagrams read per notification.
    static constexpr int portion = 64;

    // Starts listening; false when the port cannot be bound (the list then stays empty).
    bool start();
    void stop();
    const announce::GameList &list() const { return games; }

signals:
    void changed();

private:
    void readPending();
    void age();

    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer ageTimer;
    QElapsedTimer clock;
    announce::GameList games;
    QByteArray prefix;
};

namespace lan {
// The announcement port and destination from config; port 0 or a null address when unusable.
quint16 announcePort();
QHostAddress announceAddress();
} // namespace lan
