// The game going away under the player, and a game that is full.
#include "client/tchat.h"

#include "client/core/strokesender.h"
#include "platform/errors.h"

#include <QMessageBox>

void Tchat::leftgame(const QString &why)
{
    if (playergame->gameleft())
        return;
    playergame->leavegame(why);
    strokesender->drop(); // no stroke of this player stays open
    QString reason = why;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    setWindowTitle(title + QStringLiteral(" - ") + reason);
}

void Tchat::gamefull()
{
    // The box does not block the queue. The window stays after it, so the player can try another
    // game.
    if (fullbox)
        return;
    joinfailed(QStringLiteral("The game is full."));
    fullbox = new QMessageBox(QMessageBox::Information, errorbox::title(), QStringLiteral("Game is full"),
                              QMessageBox::Ok, this);
    fullbox->setObjectName(QStringLiteral("fullbox"));
    fullbox->setAttribute(Qt::WA_DeleteOnClose);
    fullbox->open();
}
