// The score panel: ten seat rows filled from the host's messages.
#include "client/tchat.h"
#include "features/spylist.h"
#include <QListWidget>
#include "client/core/playergame.h"

#include "client/core/turnclock.h"
#include "protocol/fields.h"
#include "protocol/numbers.h"

#include <QAction>
#include <QLabel>

namespace {

const QColor maroon(0x80, 0x00, 0x00);

void setRowColour(QLabel *l, const QColor &c)
{
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, c);
    l->setPalette(pal);
}

// Every field of what remains, split at each "+"; an empty text is one empty piece.
QStringList allFields(FieldReader &f)
{
    QStringList pieces;
    while (f.rest().contains(QLatin1Char('+')))
        pieces << f.next();
    pieces << f.rest();
    return pieces;
}

} // namespace

QString Tchat::seatname(int number) const
{
    return game->seatname(number);
}

void Tchat::setscore(int number, const QString &score)
{
    game->setscore(number, score);
}

void Tchat::showseat(int number)
{
    const PlayerGame::Seat &seat = game->seats[number];
    label_playername[number]->setText(seat.name);
    label_playername[number]->show();
    label_score[number]->show();
    image_eyes[number]->setVisible(seat.watching);
}

void Tchat::showscore(int number)
{
    label_score[number]->setText(game->seats[number].score);
}

void Tchat::addspyline(int number, const QString &name)
{
    if (spylist)
        spylist->listbox_spys->addItem(QString::number(number) + QStringLiteral(": ") + name);
}

void Tchat::removespyline(int number, const QString &name)
{
    if (!spylist)
        return;
    const QString line = QString::number(number) + QStringLiteral(": ") + name;
    const QList<QListWidgetItem *> found = spylist->listbox_spys->findItems(line, Qt::MatchExactly);
    if (!found.isEmpty())
        delete found.first();
}

void Tchat::refreshplayerlist(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    // A spy has no row: nothing changes.
    game->setseatname(number, f.rest());
}

void Tchat::gamestats(const QString &rest)
{
    FieldReader f(rest);
    playtoscore->setText(QStringLiteral("Play to Score: ") + f.next());
    const int seconds = numbers::strToIntDef(f.next(), 120);
    game->turnseconds = seconds;
    // It follows the turn a newcomer was sent: that turn's clock runs on the game's time too.
    if (!game->pickseen && game->turnClockMode == 1) {
        game->setsecondsleft(seconds);
    }
    timeperturn->setText(turnclock::timePerTurnText(seconds));
    const QStringList scores = allFields(f);
    for (int i = 0; i < scores.size() && i < 10; ++i)
        setscore(i + 1, scores[i]);
}

void Tchat::setteamcolours(bool team)
{
    // Even rows are never changed.
    const QColor oddRows = team ? QColor(Qt::black) : maroon;
    for (int seat = 1; seat <= 9; seat += 2) {
        setRowColour(label_playername[seat], oddRows);
        setRowColour(label_score[seat], oddRows);
    }
}

void Tchat::teamscore(const QString &rest)
{
    // Only a team game has team scores: a copy that joined during the game learns here which
    // kind of game it is in.
    setteamcolours(true);
    FieldReader f(rest);
    const QStringList scores = allFields(f);
    for (int i = 0; i < scores.size() && i < 10; ++i)
        setscore(i + 1, scores[i]);
}

void Tchat::justwatching(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString flag = f.rest();
    if (number > 10 || number < 1)
        return;
    if (flag == QLatin1String("1")) {
        if (number == game->mynumber)
            justWatchAction->setChecked(true);
        addlinetochat(QStringLiteral("0+") + seatname(number) + QStringLiteral(" is just watching."),
                      watchcolour);
        game->setwatching(number, true);
    } else {
        if (number == game->mynumber)
            justWatchAction->setChecked(false);
        addlinetochat(QStringLiteral("0+") + seatname(number) + QStringLiteral(" now playing again"),
                      watchcolour);
        game->setwatching(number, false);
    }
}
