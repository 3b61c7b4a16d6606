#pragma once

#include "client/core/strokehistory.h"

#include <QList>
#include <QPoint>

// The local drawer's points not yet sent (`strokepoints`, `strokecount`). A batch goes out when
// it reaches its 101st point, and the rest when the stroke ends.
class StrokeBatch
{
public:
    static constexpr int sendAbove = StrokeHistory::batchPoints - 1;

    void clear() { strokepoints.clear(); }
    void add(QPoint p) { strokepoints.append(p); }
    int strokecount() const { return int(strokepoints.size()); }
    bool full() const { return strokecount() > sendAbove; }
    const QList<QPoint> &points() const { return strokepoints; }

private:
    QList<QPoint> strokepoints;
};
