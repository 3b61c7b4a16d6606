#include "client/core/strokesender.h"

#include "client/core/playergame.h"
#include "client/core/strokeflusher.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "protocol/numbers.h"

StrokeSender::StrokeSender(PlayerGame &game, QObject *parent) : QObject(parent), game(game)
{
    flusher = new StrokeFlusher([this] { guard([this] { flush(); }); }, this);
}

std::optional<int> StrokeSender::press(QPoint p)
{
    // Any button starts a stroke.
    if (!game.drawing())
        return std::nullopt;
    strokebatch.clear();
    pendown = false;
    const Pen now = pen();
    const int width = numbers::strToInt(now.width);
    pendown = true;
    if (game.loggedin()) {
        game.send(cmd::buildMoveit(game.mynumber(), colortext::toText(now.colour), now.width, p.x(), p.y()));
        history.begin(now.colour, now.width, p);
    }
    flusher->sent();
    return width;
}

bool StrokeSender::move(bool leftHeld, QPoint p)
{
    if (!pendown || !game.drawing())
        return false;
    if (leftHeld) {
        strokebatch.add(p);
        if (strokebatch.full() && game.loggedin())
            sendstrokepoints();
        else if (game.loggedin() && flusher->pointAdded())
            flush();
        return true;
    }
    // Moving without the left button ends the stroke, sending what is pending (maybe nothing).
    if (game.loggedin()) {
        sendstrokepoints();
        end();
    }
    return false;
}

void StrokeSender::release()
{
    // With nothing pending the stroke stays open until the next move without the button.
    if (!pendown || !game.drawing() || strokebatch.strokecount() <= 0 || !game.loggedin())
        return;
    sendstrokepoints();
    end();
}

void StrokeSender::flush()
{
    if (!pendown || !game.drawing() || !game.loggedin() || strokebatch.strokecount() <= 0)
        return;
    sendstrokepoints();
}

void StrokeSender::sendstrokepoints()
{
    // The width goes as the tool bar shows it when the points leave. One edited into something
    // that does not read ends the stroke here: the points are dropped and nothing is sent.
    const Pen now = pen();
    if (!numbers::tryStrToInt(now.width)) {
        strokebatch.clear();
        end();
        return;
    }
    game.send(
        cmd::buildDraw(game.mynumber(), colortext::toText(now.colour), now.width, strokebatch.points()));
    history.add(now.colour, now.width, strokebatch.points());
    strokebatch.clear();
    flusher->sent();
}

bool StrokeSender::undo()
{
    if (!game.drawing() || !game.loggedin())
        return false;
    if (pendown) {
        if (strokebatch.strokecount() > 0)
            sendstrokepoints();
        end();
    }
    if (!history.undo())
        return false;
    game.send(cmd::buildClearmain(game.mynumber()));
    for (const QString &m : history.messages(game.mynumber()))
        game.send(m);
    return true;
}

void StrokeSender::end()
{
    pendown = false;
    flusher->stop();
}
