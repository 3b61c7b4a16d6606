#pragma once

#include "client/core/strokebatch.h"
#include "client/core/strokehistory.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class PlayerGame;
class StrokeFlusher;

// The drawer's pen as the host hears it. A press starts a stroke and sends CMD_moveit; moves with
// the left button gather points that leave as CMD_draw when a batch reaches its 101st point, and
// sooner as StrokeFlush says (no point waits more than 17 ms, at most 60 messages a second); the
// release sends what waits (with nothing waiting the stroke stays open until the next move
// without the left button). Only the player whose turn it is draws, and nothing is sent before
// the login. Painting the stroke is the board's: the sender says which points belong to it.
class StrokeSender : public QObject
{
    Q_OBJECT
public:
    // The pen as the tool bar shows it: a colour (00BBGGRR) and the width field's text, which
    // goes on the wire as it stands.
    struct Pen
    {
        int colour = 0;
        QString width;
    };
    // What the tool bar draws with; set by the owner before the first press.
    std::function<Pen()> pen;

    // Who draws, and whether messages may leave, is the game's to say; the messages go to it.
    explicit StrokeSender(PlayerGame &game, QObject *parent = nullptr);

    // A button went down at p: the width the stroke is painted with, or nothing when this player
    // does not draw. Nothing of an earlier stroke goes out with this one, and a width that does
    // not read raises the conversion error and starts no stroke.
    std::optional<int> press(QPoint p);
    // The pointer moved to p: true when the stroke goes on to p (the caller paints the line).
    bool move(bool leftHeld, QPoint p);
    void release();
    // The waiting points of a held stroke leave now (the flush timer's tick).
    void flush();
    // A new turn: no stroke is open, and none can be taken back.
    void drop()
    {
        pendown = false;
        history.clear();
    }
    // The board was wiped by the drawer: nothing before the wipe can be taken back.
    void forget() { history.clear(); }
    // Takes back the drawer's last stroke (a stroke still being drawn ends first): the host hears
    // a wipe and then every remaining stroke again, so every copy shows the same picture. False
    // when there is nothing to take back, or this player does not draw.
    bool undo();
    // The strokes that remain, for the board to paint again.
    const StrokeHistory &strokes() const { return history; }
    bool penIsDown() const { return pendown; }

    // Sends a held stroke's points within 17 ms instead of only in full batches.
    StrokeFlusher *flusher = nullptr;

private:
    // Sends the pending points as one CMD_draw and empties them.
    void sendstrokepoints();
    void end();
    PlayerGame &game;
    bool pendown = false;
    StrokeBatch strokebatch; // `strokepoints` and `strokecount`
    StrokeHistory history;
};
