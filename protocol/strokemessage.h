#pragma once

#include "protocol/fields.h"

#include <QPoint>

// Reading the point list of a relayed CMD_draw: segments separated by "+", each non-empty one a
// point "X,Y". Empty segments carry nothing. A last segment that lacks its closing "+" still
// counts as a point, and the walk always ends.
class StrokePoints
{
public:
    // Reads from what remains of the message after the width field.
    explicit StrokePoints(FieldReader &fields) : f(fields) {}

    // The next point; false at the end of the list. Raises EConvertError on a point that does
    // not read; the points before it have been handed out already.
    bool next(QPoint &point);

private:
    FieldReader &f;
    bool done = false;
};

// One point "X,Y"; a missing comma reads as an empty X. Raises EConvertError.
QPoint readPoint(const QString &segment);
