#include "app/chatline.h"

#include "client/tchat.h"

void sayInChat(Tchat *chat, const QString &text)
{
    if (chat)
        chat->addlinetochat(QStringLiteral("0+") + text, PlayerGame::systemcolour);
}
