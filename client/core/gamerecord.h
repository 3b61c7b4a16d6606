#pragma once

#include <QList>
#include <QString>
#include <array>

// One game as this copy saw it: the turns it watched end, and once the game is won, the final
// ranking. Fed by the player's game from the host's messages; nothing here reads the network.
class GameRecord
{
public:
    // A finished turn: who drew, the phrase, and who solved it (empty when nobody did).
    struct Turn
    {
        QString drawer;
        QString phrase;
        QString solver;
        int category = -1;
        bool operator==(const Turn &) const = default;
    };
    // A player of the game at its end: seated, or gone during the game with the score it had.
    struct Player
    {
        int seat = 0;
        QString name;
        int score = 0;
        bool left = false;
        bool operator==(const Player &) const = default;
    };
    // A place of the ranking: a player, or in a team game a team with its players. Tied places
    // share a rank (1, 1, 3).
    struct Place
    {
        int rank = 0;
        QString name;
        int score = 0;
        bool left = false;
        QList<Player> members; // a team's players, by seat
    };
    static inline const QString blackteam = QStringLiteral("Black Team");
    static inline const QString maroonteam = QStringLiteral("Maroon Team");

    // A new game: the last one's turns, players and ranking go.
    void start(bool team);
    bool teamgame() const { return team; }

    // A drawing turn began. A turn still open is dropped: it never ended (its drawer left).
    void turnbegan(const QString &drawer, int category);
    // The open turn ended with its phrase; the solver is empty on a time-out. False when no turn
    // was open, as for a copy that joined during the break.
    bool turnended(const QString &phrase, const QString &solver);
    // The last turns of the game, at most maxturns: a longer game drops its oldest ones.
    static constexpr int maxturns = 100;
    const QList<Turn> &turns() const { return finished; }
    // The number of the first turn kept, counting from 0 at the game's start.
    int firstturn() const { return dropped; }

    // A seated player left during the game: the ranking keeps it with the score it had. One who
    // comes back under the same name is counted at the seat again.
    void playerleft(const Player &player);
    void playerback(const QString &name);

    // The game was won: ranks the players seated now and the ones who left. In a team game the
    // teams' totals are the scores of their keeping seats (1 for the odd seats, 2 for the even),
    // as the host judges the winner by them.
    void finish(const QString &winner, const QList<Player> &seated, std::array<int, 2> teamtotals);
    bool over() const { return won; }
    const QString &winner() const { return winnername; }
    const QList<Place> &ranking() const { return places; }

    // The ranking rule alone. Higher scores first; among equal scores the winner, then by seat.
    static QList<Place> rank(const QList<Player> &players, bool team, const QString &winner,
                             std::array<int, 2> teamtotals);

private:
    bool team = false;
    bool open = false;
    Turn current;
    QList<Turn> finished;
    int dropped = 0;
    QList<Player> gone;
    bool won = false;
    QString winnername;
    QList<Place> places;
};
