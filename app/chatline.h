#pragma once

#include <QString>

class Tchat;

// The one way the program's own parts (hosting, invitations) write a line in the chat pane: a
// system line in the system colour.
void sayInChat(Tchat *chat, const QString &text);
