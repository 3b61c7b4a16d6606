#pragma once

#include <QObject>
#include <QString>
#include <cstdio>
#include <functional>

class TServer;

namespace hostlog {

// The line that a message sent to all players is worth on the host's log: a player joined or
// left, a game started, a turn began, a game was won. Empty for every other message. Names come
// from the network, so control characters in them are shown as "?". A turn names its drawer
// through `nameOf` (the name of a slot in use, or empty).
QString describe(const QString &message, const std::function<QString(int slot)> &nameOf = {});

} // namespace hostlog

// Writes one line per event of a host on a stream, flushed at once so a pipe sees it at once. A
// turn's line is followed by "Scores:" and the scores of seats 1 to 10. What the host notes about
// floods and refused players goes there too.
class HostLog : public QObject
{
    Q_OBJECT
public:
    HostLog(TServer &host, std::FILE *out, QObject *parent = nullptr);
    void line(const QString &text);
    // Put before every line: the table's name where one program runs many.
    QString prefix;

private:
    std::FILE *out;
};
