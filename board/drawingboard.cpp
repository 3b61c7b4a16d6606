#include "board/drawingboard.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

DrawingBoard::DrawingBoard(QWidget *parent)
    : QWidget(parent), image_backup(boardWidth, boardHeight, QImage::Format_RGB32)
{
    setFixedSize(boardWidth, boardHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    image_backup.fill(Qt::white);
}

void DrawingBoard::changed(const QRect &area)
{
    if (!area.isEmpty())
        update(area);
}

void DrawingBoard::wipe()
{
    ops.clear();
    changed(screen.wipe());
    if (backup.image != screen.image)
        backup.wipe();
}

void DrawingBoard::penDown(QPoint p, const QColor &colour, int width)
{
    ops.append({Op::down, colour, width, {p}});
    for (Canvas *c : {&screen, &backup}) {
        c->setPen(colour, width);
        c->moveTo(p);
    }
    shown(backup.lineTo(p), &p, 1);
}

void DrawingBoard::penTo(QPoint p)
{
    if (!ops.isEmpty() && ops.last().kind == Op::to)
        ops.last().points.append(p);
    else
        ops.append({Op::to, {}, 0, {p}});
    shown(backup.lineTo(p), &p, 1);
}

void DrawingBoard::penThrough(const QColor &colour, int width, const QPoint *points, qsizetype count)
{
    ops.append({Op::through, colour, width, QList<QPoint>(points, points + count)});
    screen.setPen(colour, width);
    backup.setPen(colour, width);
    shown(backup.lineThrough(points, count), points, count);
}

void DrawingBoard::shown(const QRect &area, const QPoint *points, qsizetype count)
{
    if (factor != 1.0) {
        // The screen surface has its own resolution: the stroke is painted on it as well.
        changed(screen.lineThrough(points, count));
        return;
    }
    // The stroke is painted once, on the backing picture the screen surface shares.
    screen.moveTo(backup.penpos);
    changed(area);
}

void DrawingBoard::setZoom(double zoom)
{
    if (zoom == factor)
        return;
    factor = zoom;
    setFixedSize(QSize(boardWidth, boardHeight) * factor);
    screen.scale = factor;
    if (factor == 1.0) {
        scaledimage = QImage();
        screen.image = &image_backup;
    } else {
        scaledimage = QImage(size(), QImage::Format_RGB32);
        screen.image = &scaledimage;
        screen.wipe();
        for (const Op &op : std::as_const(ops))
            play(op);
    }
    screen.moveTo(backup.penpos);
    screen.setPen(backup.pencolour, backup.penwidth);
    update();
}

void DrawingBoard::play(const Op &op)
{
    if (op.kind != Op::to)
        screen.setPen(op.colour, op.width);
    if (op.kind == Op::down)
        screen.moveTo(op.points.first());
    screen.lineThrough(op.points.constData(), op.points.size());
}

QPoint DrawingBoard::boardPoint(QPointF widgetPos) const
{
    if (factor == 1.0)
        return widgetPos.toPoint();
    // The board pixel under the centre of the screen pixel.
    return QPoint(int(std::floor((widgetPos.x() + 0.5) / factor)),
                  int(std::floor((widgetPos.y() + 0.5) / factor)));
}

void DrawingBoard::image_mainPaint(QPainter &painter, const QRect &area)
{
    painter.drawImage(area, screenPicture(), area);
}

void DrawingBoard::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    image_mainPaint(p, e->rect());
}

void DrawingBoard::mousePressEvent(QMouseEvent *e)
{
    const QPoint p = boardPoint(e->position());
    if (onMouseDown)
        onMouseDown(e->button(), e->buttons(), p.x(), p.y());
}

void DrawingBoard::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = boardPoint(e->position());
    if (onMouseMove)
        onMouseMove(e->buttons(), p.x(), p.y());
}

void DrawingBoard::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = boardPoint(e->position());
    if (onMouseUp)
        onMouseUp(e->button(), e->buttons(), p.x(), p.y());
}
