// The score panel: ten seat rows filled from the host's messages.
#include "client/tchat.h"

#include "client/core/playergame.h"
#include "client/core/turnclock.h"
#include "features/spylist.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>

namespace {

const QColor maroon(0x80, 0x00, 0x00);

void setRowColour(QLabel *l, const QColor &c)
{
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, c);
    l->setPalette(pal);
}

} // namespace

void Tchat::showseat(int number)
{
    const PlayerGame::Seat &seat = playergame->seat(number);
    label_playername[number]->setText(seat.name);
    label_playername[number]->show();
    label_score[number]->setText(playergame->shownscore(number));
    label_score[number]->show();
    image_eyes[number]->setVisible(seat.watching);
    // The tick shows what the host last said of this player.
    if (number == playergame->mynumber())
        justWatchAction->setChecked(seat.watching);
}

void Tchat::addspyline(int number, const QString &name)
{
    if (with.spylist)
        with.spylist->listbox_spys->addItem(QString::number(number) + QStringLiteral(": ") + name);
}

void Tchat::removespyline(int number, const QString &name)
{
    if (!with.spylist)
        return;
    const QString line = QString::number(number) + QStringLiteral(": ") + name;
    const QList<QListWidgetItem *> found = with.spylist->listbox_spys->findItems(line, Qt::MatchExactly);
    if (!found.isEmpty())
        delete found.first();
}

void Tchat::showoptions()
{
    playtoscore->setText(playergame->playtocaption());
    timeperturn->setText(turnclock::timePerTurnText(playergame->turnseconds()));
}

void Tchat::setteamcolours()
{
    const bool team = playergame->teamgame();
    // Even rows are never changed.
    const QColor oddRows = team ? QColor(Qt::black) : maroon;
    for (int seat = 1; seat <= 9; seat += 2) {
        setRowColour(label_playername[seat], oddRows);
        setRowColour(label_score[seat], oddRows);
    }
}
