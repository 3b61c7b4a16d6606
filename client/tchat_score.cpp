// The score panel: ten seat rows filled from the host's messages.
#include "client/tchat.h"
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
    if (number < 1 || number > 10)
        return {};
    return label_playername[number]->text();
}

void Tchat::setscore(int number, const QString &score)
{
    if (number >= 1 && number <= 10)
        label_score[number]->setText(score);
}

void Tchat::refreshplayerlist(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    // A spy has no row: nothing changes.
    if (number >= 1 && number <= 10)
        label_playername[number]->setText(f.rest());
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
        image_eyes[number]->show();
    } else {
        if (number == game->mynumber)
            justWatchAction->setChecked(false);
        addlinetochat(QStringLiteral("0+") + seatname(number) + QStringLiteral(" now playing again"),
                      watchcolour);
        image_eyes[number]->hide();
    }
}
