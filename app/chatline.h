#pragma once

#include <QString>

class Tchat;

// The one way the program's own parts (hosting, invitations) write a line in the chat pane: a
// system line in the system colour.
void sayInChat(Tchat *chat, const QString &text);
// The same, ending in a link to `target` that the player clicks.
void sayInChat(Tchat *chat, const QString &text, const QString &linkText, const QString &target);
