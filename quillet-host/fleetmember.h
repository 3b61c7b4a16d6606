#pragma once

#include <QObject>
#include <QTimer>

class AgonesSdk;
class TServer;

// Keeps a fleet informed of one table: ready once the port listens, allocated when the first
// player logs in to a server nobody allocated, the seated players' count and a "state" label
// (waiting, playing) in the GameServer, and a shutdown once an allocated table has been empty for
// the idle time, so the fleet puts a fresh server in its place.
class FleetMember : public QObject
{
    Q_OBJECT
public:
    // The counter that holds the seated players' count.
    static constexpr const char *counter = "players";

    FleetMember(TServer &host, AgonesSdk &sdk, int idleMs, QObject *parent = nullptr);
    // The game port listens.
    void listening();

signals:
    // A line for the host's log.
    void noted(const QString &line);

private:
    // Looks at the table after every change and tells the fleet what changed.
    void review();

    TServer &host;
    AgonesSdk &sdk;
    QTimer idle;
    bool allocating = false;
    bool down = false;
    int seatcount = -1;
    QString label;
};
