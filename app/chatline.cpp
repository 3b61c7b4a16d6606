#include "app/chatline.h"

#include "client/tchat.h"

void sayInChat(Tchat *chat, const QString &text)
{
    if (chat)
        chat->addlinetochat(QStringLiteral("0+") + text, PlayerGame::systemcolour);
}

void sayInChat(Tchat *chat, const QString &text, const QString &linkText, const QString &target)
{
    if (chat)
        chat->addlinkline(text, linkText, target, PlayerGame::systemcolour);
}
