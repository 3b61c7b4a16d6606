#include "board/strokehistory.h"

#include "protocol/colortext.h"
#include "protocol/commands.h"

void StrokeHistory::begin(int colour, const QString &width, QPoint start)
{
    taken.append({colour, width, start, {}});
}

void StrokeHistory::add(int colour, const QString &width, const QList<QPoint> &points)
{
    if (!taken.isEmpty())
        taken.last().runs.append({colour, width, points});
}

bool StrokeHistory::undo()
{
    if (taken.isEmpty())
        return false;
    taken.removeLast();
    return true;
}

QStringList StrokeHistory::messages(int slot) const
{
    QStringList out;
    for (const Stroke &s : taken) {
        out << cmd::buildMoveit(slot, colortext::toText(s.colour), s.width, s.start.x(), s.start.y());
        for (const Run &r : s.runs)
            out << cmd::buildDraw(slot, colortext::toText(r.colour), r.width, r.points);
    }
    return out;
}
