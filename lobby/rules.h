#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <deque>

// The lobby's rules, without sockets: what a table shows in the listing, which table quick play
// picks, the names of tables, the limits on opening them and when an empty one closes.
namespace lobby {

// Seats and spectators a table holds, as every host does.
inline constexpr int seats = 10;
inline constexpr int spectators = 5;

struct Listing
{
    QString name;
    bool isPrivate = false;
    int seated = 0;
    int watching = 0;
    bool running = false;
    int playto = 0;
    int turnseconds = 0;
    bool hints = false;
    QString language;
    quint16 gamePort = 0;
    quint16 webPort = 0;
    // On the lobby's clock, since when nobody is at the table; -1 while somebody is.
    qint64 emptySince = -1;
};

// The public tables as the lobby's listing gives them, in JSON; private ones are left out.
QByteArray listingJson(const QList<Listing> &tables);
// One table as JSON: what a player needs to reach it (the listing's fields among them).
QByteArray tableJson(const Listing &t);

// The public table quick play seats a player at: among those with a free seat, a waiting one
// before one whose game is on, and of those the one with the most players (the first listed on a
// tie). -1 when none has room: a new table is opened.
int quickPlay(const QList<Listing> &tables);

// A private table's name: 96 random bits in lower-case hexadecimal, so that nobody finds it
// without its link.
QString privateName(QRandomGenerator &random);
// Whether a name from a request can be a table's at all (letters, digits and '-', 1 to 32).
bool validName(const QString &name);

// An empty table closes once it has been empty for `idleMs`.
bool idleClosing(const Listing &t, qint64 now, qint64 idleMs);

// Whose a request is, for the limits: an IPv4 address as itself (one mapped into IPv6 too), an
// IPv6 address by its /64 network, which one machine is commonly given whole.
QByteArray addressKey(const QByteArray &address);

// The limits on opening tables: so many a minute from one network address, so many in all.
class Limits
{
public:
    int perMinute = 10;
    int maxTables = 500;
    // Why a table cannot be opened for this address now, with `open` tables already; empty when
    // it can.
    QString refusal(const QByteArray &address, qint64 now, int open);
    // A table was opened for the address.
    void opened(const QByteArray &address, qint64 now);

private:
    void forget(qint64 now);
    QHash<QByteArray, std::deque<qint64>> recent;
};

} // namespace lobby
