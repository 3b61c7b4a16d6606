#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A hosting copy tells the local network about its game: a small datagram every two seconds,
// heard by the join dialogs of other copies.
namespace announce {

// What a hosting copy tells: only what its player chose to show by hosting.
struct Announcement
{
    QString name;     // the hosting player's name
    quint16 port = 0; // the game port it listens on
    int seated = 0;   // players in seats, 0..10
    int spies = 0;    // spies, 0..5
    bool running = false;
};

// Longest name carried; a longer one is cut.
constexpr int maxName = 32;
// Datagrams longer than this are not ours.
constexpr qsizetype maxDatagram = 256;

// Prefix line, then port, seated, spies, running (0 or 1) and the name, one per line, UTF-8.
QByteArray encode(const Announcement &a, const QByteArray &prefix);
// Nothing for a datagram that is not a well-formed announcement with this prefix.
std::optional<Announcement> decode(const QByteArray &datagram, const QByteArray &prefix);

// A game heard on the network.
struct HeardGame
{
    QString address; // where the datagram came from
    Announcement game;
    qint64 firstHeard = 0;
    qint64 lastHeard = 0;
};

// The games heard lately, newest first; a game not heard for `timeout` ms is dropped.
class GameList
{
public:
    static constexpr qint64 timeout = 6000;
    // Games kept at most; a flood of made-up senders cannot grow the list without end.
    static constexpr int maxGames = 64;

    // True when the list as shown changed.
    bool heard(const QString &address, const Announcement &a, qint64 now);
    // Drops the games not heard since now - timeout; true when any went.
    bool age(qint64 now);
    const QList<HeardGame> &games() const { return list; }

private:
    QList<HeardGame> list; // newest first
};

} // namespace announce
