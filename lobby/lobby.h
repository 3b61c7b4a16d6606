#pragma once

#include "lobby/rules.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <cstdio>
#include <map>
#include <memory>

class Table;
class WebServer;
class QTimer;
namespace web {
struct Request;
}

// The lobby: many tables in one process, each a whole host with a game port from a range and its
// page on a web port of its own (the game port + webOffset), and the lobby's own web port that
// lists the public tables, seats a player by quick play and opens private tables (JSON):
//   GET  /api/tables    the public tables
//   POST /api/quick     the table quick play picks, opened when none has room
//   POST /api/private   a new private table
//   GET  /t/NAME/       sends a browser on to the table's page
class Lobby : public QObject
{
    Q_OBJECT
public:
    // A table's web port is its game port and this much.
    static constexpr int webOffset = 1000;

    Lobby(quint16 firstPort, quint16 lastPort, std::FILE *logto, QObject *parent = nullptr);
    ~Lobby() override;

    // Listens on the lobby's web port; false when it cannot.
    bool listen(quint16 port);
    // Milliseconds an empty table stays open.
    qint64 idleMs = 300000;
    lobby::Limits limits;
    // Public tables are announced to players on this network.
    bool announcing = true;
    // How often empty tables are looked at.
    int sweepMs = 1000;

    // Tells every table's players the lobby is closing and closes them all.
    void closeAll();
    void line(const QString &text);

private:
    struct Open;
    QByteArray request(const web::Request &r, const QByteArray &address, bool keepAlive);
    QByteArray open(bool isPrivate, const QByteArray &address, bool keepAlive);
    // The table opened, or none (a port in use, the range taken); the reason is logged.
    Open *newTable(bool isPrivate);
    lobby::Listing listing(const Open &t) const;
    QList<lobby::Listing> listings() const;
    void sweep();

    quint16 first, last;
    std::FILE *out;
    WebServer *web;
    QTimer *sweeper;
    QElapsedTimer clock;
    int opened = 0;
    std::map<QString, std::unique_ptr<Open>> tables;
};
