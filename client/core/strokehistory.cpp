#include "client/core/strokehistory.h"

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
    for (Stroke &s : taken)
        s.runs = packed(s.runs);
    return true;
}

QList<StrokeHistory::Run> StrokeHistory::packed(const QList<Run> &runs)
{
    // A batch goes on from where the last one left the pen, so runs of one pen join into one.
    QList<Run> joined;
    for (const Run &r : runs) {
        if (r.points.isEmpty())
            continue;
        if (!joined.isEmpty() && joined.last().colour == r.colour && joined.last().width == r.width)
            joined.last().points << r.points;
        else
            joined.append(r);
    }
    QList<Run> out;
    for (const Run &r : std::as_const(joined))
        for (qsizetype at = 0; at < r.points.size(); at += batchPoints)
            out.append({r.colour, r.width, r.points.mid(at, batchPoints)});
    return out;
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
