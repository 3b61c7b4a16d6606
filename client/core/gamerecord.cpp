#include "client/core/gamerecord.h"

#include <algorithm>

void GameRecord::start(bool teamgame)
{
    *this = GameRecord();
    team = teamgame;
}

void GameRecord::turnbegan(const QString &drawer, int category)
{
    open = true;
    current = Turn{drawer, {}, {}, category};
}

bool GameRecord::turnended(const QString &phrase, const QString &solver)
{
    if (!open)
        return false;
    open = false;
    current.phrase = phrase;
    current.solver = solver;
    if (finished.size() == maxturns) {
        finished.removeFirst();
        ++dropped;
    }
    finished.append(current);
    return true;
}

void GameRecord::playerleft(const Player &player)
{
    Player p = player;
    p.left = true;
    gone.append(p);
}

void GameRecord::playerback(const QString &name)
{
    gone.removeIf([&name](const Player &p) { return p.name == name; });
}

void GameRecord::finish(const QString &winner, const QList<Player> &seated, std::array<int, 2> teamtotals)
{
    open = false;
    won = true;
    winnername = winner;
    places = rank(seated + gone, team, winner, teamtotals);
}

QList<GameRecord::Place> GameRecord::rank(const QList<Player> &players, bool team, const QString &winner,
                                          std::array<int, 2> teamtotals)
{
    QList<Place> ordered;
    if (team) {
        Place black{0, blackteam, teamtotals[0], false, {}};
        Place maroon{0, maroonteam, teamtotals[1], false, {}};
        QList<Player> bySeat = players;
        std::stable_sort(bySeat.begin(), bySeat.end(),
                         [](const Player &a, const Player &b) { return a.seat < b.seat; });
        for (const Player &p : bySeat)
            (p.seat % 2 == 1 ? black : maroon).members.append(p);
        ordered = {black, maroon};
    } else {
        for (const Player &p : players)
            ordered.append(Place{0, p.name, p.score, p.left, {}});
    }
    // The seat order among equal scores comes from the players' order: seated ones by seat,
    // then those who left.
    std::stable_sort(ordered.begin(), ordered.end(), [&winner](const Place &a, const Place &b) {
        if (a.score != b.score)
            return a.score > b.score;
        return a.name == winner && b.name != winner;
    });
    for (qsizetype i = 0; i < ordered.size(); ++i)
        ordered[i].rank =
            i > 0 && ordered[i].score == ordered[i - 1].score ? ordered[i - 1].rank : int(i) + 1;
    return ordered;
}
