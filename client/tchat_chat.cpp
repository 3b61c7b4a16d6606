// The chat pane's side of the main window: received lines, sending, the chat menus and the
// chatter sounds.
#include "client/tchat.h"

#include "client/chatpane.h"
#include "client/core/chattersounds.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "protocol/framing.h"
#include "protocol/text.h"

#include <QAction>
#include <QColorDialog>
#include <QMenu>
#include <QToolButton>

void Tchat::buildChatMenus()
{
    // The client area never gets smaller than the board and its border (see FormResize).
    if (centralWidget())
        centralWidget()->setMinimumSize(tchatgeometry::minClientWidth, tchatgeometry::minClientHeight);
    chatpane->onSend = [this] { sendit(); };
    chatpane->onSettingsChanged = [this] { savesetting(PlayerSettings::Textsize); };
    chatpane->onGameLink = [this](const QString &link) { emit gameLinkOpened(link); };

    popup_sounds = new QMenu(this);
    popup_sounds->setObjectName(QStringLiteral("popup_sounds"));
    popup_sounds->setToolTipsVisible(true);
    for (int tag = 0; tag <= 20; ++tag) {
        const QString caption = chattersounds::caption(tag);
        QAction *a = popup_sounds->addAction(caption);
        a->setObjectName(tag == 0 ? QStringLiteral("cancelSoundAction") : QStringLiteral("wave%1").arg(tag));
        a->setData(tag);
        a->setToolTip(caption);
        a->setStatusTip(caption);
        connect(a, &QAction::triggered, this,
                [this, tag] { guard([this, tag] { chatterSoundClicked(tag); }); });
        chattersounds.append(a);
    }
    connect(chatpane->b_phrase10, &QToolButton::clicked, this,
            [this] { guard([this] { b_phrase10Click(); }); });
}

void Tchat::sendit()
{
    ChatEntry *box = chatpane->mychat;
    if (playergame->chatit(box->text(), colortext::toText(chatpane->textcolor())))
        box->clear();
}

void Tchat::limitchatline()
{
    // The relay names the sender, at most a two-digit number, and ends with the colour, whose
    // longest text is "$" and eight digits.
    const QString relayed = cmd::buildChatRelay(15, text::wireSafe(playergame->startup().loginname),
                                                QStringLiteral("|$00000000"));
    chatpane->mychat->setMaxLength(int(std::max<qsizetype>(0, framing::maxMessage - relayed.size())));
}

void Tchat::textColorClicked()
{
    if (!ColorDialog)
        ColorDialog = new QColorDialog(this);
    ColorDialog->setObjectName(QStringLiteral("ColorDialog"));
    ColorDialog->setCurrentColor(colortext::toQColor(chatpane->textcolor()));
    if (ColorDialog->exec() == QDialog::Accepted)
        chatpane->settextcolor(colortext::fromQColor(ColorDialog->selectedColor()));
    savesetting(PlayerSettings::Textcolor);
}

void Tchat::b_phrase10Click()
{
    QToolButton *b = chatpane->b_phrase10;
    popup_sounds->popup(b->mapToGlobal(b->rect().bottomRight()));
}

void Tchat::chatterSoundClicked(int tag)
{
    playergame->soundit(tag);
}

void Tchat::playSoundsClicked()
{
    playergame->setplaysounds(!playergame->playsounds());
    showsoundswitches();
    savesetting(PlayerSettings::Playsounds);
}

void Tchat::playChatterSoundsClicked()
{
    playergame->setplaychattersounds(!playergame->playchattersounds());
    showsoundswitches();
    savesetting(PlayerSettings::ChatterSounds);
}

void Tchat::showsoundswitches()
{
    playSoundsAction->setChecked(playergame->playsounds());
    playChatterSoundsAction->setChecked(playergame->playchattersounds());
}
