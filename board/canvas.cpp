#include "board/canvas.h"

#include <QPainter>
#include <QPolygonF>
#include <QVarLengthArray>
#include <cmath>

bool clipSegment(QPointF a, QPointF b, const QRectF &rect, QLineF &out)
{
    // Liang-Barsky: the part of a + t (b - a), 0 <= t <= 1, inside the rectangle.
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(),
                         rect.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            if (r > t1)
                return false;
            if (r > t0)
                t0 = r;
        } else {
            if (r < t0)
                return false;
            if (r < t1)
                t1 = r;
        }
    }
    out = QLineF(a.x() + t0 * dx, a.y() + t0 * dy, a.x() + t1 * dx, a.y() + t1 * dy);
    return true;
}

namespace {

// A zero-length line: a round dot as wide as the pen, lying where a line of that width lies.
void paintDot(QPainter &painter, QPoint at, int width, const QColor &colour)
{
    if (width <= 1) {
        painter.fillRect(QRect(at, QSize(1, 1)), colour);
        return;
    }
    // Odd widths centre on the pixel, even ones on its top-left corner, as the lines do.
    const double cx = at.x() + (width % 2 ? 0.5 : 0.0);
    const double cy = at.y() + (width % 2 ? 0.5 : 0.0);
    const double r = width / 2.0;
    for (int py = int(std::floor(cy - r)); py <= int(std::ceil(cy + r)); ++py) {
        const double dy = py + 0.5 - cy;
        if (dy * dy > r * r)
            continue;
        const double half = std::sqrt(r * r - dy * dy);
        const int x0 = int(std::ceil(cx - half - 0.5));
        const int x1 = int(std::floor(cx + half - 0.5));
        if (x1 >= x0)
            painter.fillRect(QRect(x0, py, x1 - x0 + 1, 1), colour);
    }
}

} // namespace

QRect Canvas::lineThrough(const QPoint *points, qsizetype count)
{
    if (count <= 0)
        return {};
    const QRectF room(-margin, -margin, image->width() / scale + 2.0 * margin,
                      image->height() / scale + 2.0 * margin);
    QPainter painter(image);
    if (scale != 1.0) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
    }
    const int width = paintWidth(penwidth);
    // A pen of up to three pixels has no room for a round end or join: on the board's own pixels
    // square ends and bevelled joins cover the same pixels within one, and cost a third less.
    const bool thin = width <= 3 && scale == 1.0;
    painter.setPen(QPen(pencolour, width, Qt::SolidLine, thin ? Qt::SquareCap : Qt::RoundCap,
                        thin ? Qt::BevelJoin : Qt::RoundJoin));

    QVarLengthArray<QPointF, 128> run; // consecutive visible segments, painted as one polyline
    QRectF touched;
    const auto flush = [&] {
        if (run.isEmpty())
            return;
        bool dot = true;
        for (const QPointF &q : run)
            dot = dot && q == run.front();
        if (dot && scale != 1.0) {
            // At a finer resolution the dot is round, not made of board pixels.
            const double odd = width % 2 ? 0.5 : 0.0;
            const QPointF centre = run.front() + QPointF(odd, odd);
            const double r = qMax(0.5, width / 2.0);
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(pencolour);
            painter.drawEllipse(centre, r, r);
            painter.restore();
        } else if (dot)
            paintDot(painter, run.front().toPoint(), width, pencolour);
        else
            painter.drawPolyline(run.constData(), int(run.size()));
        for (const QPointF &q : run)
            touched |= QRectF(q, QSizeF(1, 1));
        run.clear();
    };

    // A long polyline that crosses itself is slow to fill, so runs are kept short; where two
    // runs meet, their round ends make the same shape as a round join.
    constexpr double runLength = 128.0;
    double length = 0.0;
    QPoint from = penpos;
    for (qsizetype i = 0; i < count; ++i) {
        const QPoint to = points[i];
        QLineF visible;
        if (clipSegment(from, to, room, visible)) {
            const double step = visible.length();
            if (run.isEmpty() || run.back() != visible.p1()) {
                flush();
                run.append(visible.p1());
                length = 0.0;
            } else if (length > 0.0 && length + step > runLength) {
                const QPointF joint = run.back();
                flush();
                run.append(joint);
                length = 0.0;
            }
            run.append(visible.p2());
            length += step;
        } else {
            flush();
        }
        from = to;
    }
    flush();
    penpos = from;
    const int pad = width / 2 + 2;
    const QRect area = touched.toAlignedRect().adjusted(-pad, -pad, pad, pad);
    if (scale == 1.0)
        return area & image->rect();
    return QRectF(area.x() * scale, area.y() * scale, area.width() * scale, area.height() * scale)
               .toAlignedRect() &
           image->rect();
}

QRect Canvas::wipe()
{
    image->fill(Qt::white);
    return image->rect();
}
