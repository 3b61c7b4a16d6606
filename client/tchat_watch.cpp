// Just watching, removal of players by the hosting player, and the spy list.
#include "client/tchat.h"

#include "features/spylist.h"
#include "platform/errors.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void Tchat::buildWatchMenus()
{
    popup_Kick = new QMenu(this);
    popup_Kick->setObjectName(QStringLiteral("popup_Kick"));
    removeFromGameAction = popup_Kick->addAction(QStringLiteral("Remove From Game"));
    removeFromGameAction->setObjectName(QStringLiteral("removeFromGameAction"));
    popup_Kick->addSeparator();
    setToJustWatchAction = popup_Kick->addAction(QStringLiteral("Set to Just Watch"));
    setToJustWatchAction->setObjectName(QStringLiteral("setToJustWatchAction"));
    unsetJustWatchAction = popup_Kick->addAction(QStringLiteral("Unset Just Watch"));
    unsetJustWatchAction->setObjectName(QStringLiteral("unsetJustWatchAction"));
    connect(removeFromGameAction, &QAction::triggered, this,
            [this] { guard([this] { removeFromGameClicked(); }); });
    connect(setToJustWatchAction, &QAction::triggered, this,
            [this] { guard([this] { setToJustWatchClicked(); }); });
    connect(unsetJustWatchAction, &QAction::triggered, this,
            [this] { guard([this] { unsetJustWatchClicked(); }); });

    // Seat 1 is the hosting player's own: its name carries no menu.
    for (int seat = 2; seat <= 10; ++seat) {
        QLabel *name = label_playername[seat];
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this, [this, name](const QPoint &pos) {
            guard([this, name] { seatMenuPopup(name); });
            popup_Kick->popup(name->mapToGlobal(pos));
        });
    }
}

void Tchat::justWatchClicked()
{
    playergame->justwatch();
}

void Tchat::seatMenuPopup(QLabel *seatname)
{
    kickseat = seatname->property("Tag").toInt();
    kickseatchanges = PlayerGame::isseat(kickseat) ? playergame->seat(kickseat).changes : 0;
    const PlayerGame::Controls c = playergame->controls();
    removeFromGameAction->setEnabled(PlayerGame::isseat(kickseat) ? c.removable[kickseat] : c.removal);
    setToJustWatchAction->setEnabled(c.removal);
    unsetJustWatchAction->setEnabled(c.removal);
}

bool Tchat::kickseatunchanged() const
{
    return PlayerGame::isseat(kickseat) && playergame->seat(kickseat).changes == kickseatchanges;
}

void Tchat::removeFromGameClicked()
{
    if (kickseatunchanged())
        playergame->kicking(kickseat);
}

void Tchat::setToJustWatchClicked()
{
    if (kickseatunchanged())
        playergame->setwatch(kickseat, true);
}

void Tchat::unsetJustWatchClicked()
{
    if (kickseatunchanged())
        playergame->setwatch(kickseat, false);
}

void Tchat::spyListClicked()
{
    if (!with.spylist)
        return;
    with.spylist->kicking = [this](int number) { playergame->kicking(number); };
    with.spylist->move(frameGeometry().center() - with.spylist->rect().center());
    with.spylist->show();
    with.spylist->raise();
}
