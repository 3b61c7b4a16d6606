#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPoint>
#include <QRect>

// Pen widths that strokes are painted with; a stroke message may ask for anything.
constexpr int minPenWidth = 0;
constexpr int maxPenWidth = 100;
inline int paintWidth(int width)
{
    return width < minPenWidth ? minPenWidth : (width > maxPenWidth ? maxPenWidth : width);
}

// Cuts the segment a-b to the rectangle; false when nothing of it lies inside.
bool clipSegment(QPointF a, QPointF b, const QRectF &rect, QLineF &out);

// One drawing surface with its own pen and pen position, as a painter of the classic kind: move to,
// line to, fill. Strokes have round ends and joins; a zero-length line leaves a dot as wide as the
// pen. Points may lie anywhere in the 32-bit range: segments are cut to a margin around the picture
// before they are painted, so a far point costs no more than a point at the edge.
class Canvas
{
public:
    // The picture is not owned.
    explicit Canvas(QImage *picture) : image(picture) {}

    QImage *image;
    QColor pencolour = Qt::black;
    int penwidth = 1; // as set; painted within minPenWidth..maxPenWidth
    QPoint penpos;
    // Board units per picture pixel: a picture larger than the board draws the same strokes at
    // its own resolution. Points and the pen stay in board units; changed areas are in pixels.
    double scale = 1.0;

    void setPen(const QColor &colour, int width)
    {
        pencolour = colour;
        penwidth = width;
    }
    void moveTo(QPoint p) { penpos = p; }
    // A line from the pen position to p; the pen ends at p. Returns the changed area.
    QRect lineTo(QPoint p) { return lineThrough(&p, 1); }
    // Lines from the pen position through every point in turn.
    QRect lineThrough(const QPoint *points, qsizetype count);
    // The whole picture white.
    QRect wipe();

    // Room kept around the picture when cutting segments: more than half the widest pen.
    static constexpr int margin = 128;
};
