#pragma once

#include "protocol/receivequeue.h"

#include <QString>

class TSock;

// Messages as they cross a game connection.
namespace wire {

// Sends one message: its text in the code page, then the end marker.
void send(TSock &sock, const QString &text);

// Read handler body: takes everything that arrived, cuts it into messages at the end markers and
// appends them to the queue, tagged with the connection. Returns how many were queued.
int receive(TSock &sock, ReceiveQueue &queue, int slot);

} // namespace wire
