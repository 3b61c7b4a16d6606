#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

// The drawer's strokes of this turn as they went to the host, so that the last one can be taken
// back: a stroke is its CMD_moveit and the CMD_draw batches that followed it, each with the colour
// (00BBGGRR) and the width text it was sent with.
class StrokeHistory
{
public:
    struct Run
    {
        int colour = 0;
        QString width;
        QList<QPoint> points;
    };
    struct Stroke
    {
        int colour = 0;
        QString width;
        QPoint start;
        QList<Run> runs;
    };

    // A stroke began at start (its CMD_moveit).
    void begin(int colour, const QString &width, QPoint start);
    // A batch of the open stroke left (its CMD_draw); one without a stroke before it is dropped.
    void add(int colour, const QString &width, const QList<QPoint> &points);
    // Takes back the last stroke; false when there is none. The strokes that remain are packed
    // tight, as they will go out again: each one's points in full batches of 101 (the most a held
    // pen sends at once), a new batch only where the colour or width changed. A slow pen's turn
    // then goes again in a fraction of its messages, and the drawer paints what the others paint.
    bool undo();
    // The most points one CMD_draw of a held pen carries.
    static constexpr int batchPoints = 101;
    void clear() { taken.clear(); }
    bool isEmpty() const { return taken.isEmpty(); }
    const QList<Stroke> &strokes() const { return taken; }
    // The messages that draw every stroke again, for player `slot`.
    QStringList messages(int slot) const;

private:
    static QList<Run> packed(const QList<Run> &runs);
    QList<Stroke> taken;
};
