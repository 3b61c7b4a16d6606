#include "board/drawingboard.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

DrawingBoard::DrawingBoard(QWidget *parent)
    : QWidget(parent), image_backup(boardWidth, boardHeight, QImage::Format_RGB32),
      screenimage(boardWidth, boardHeight, QImage::Format_RGB32)
{
    setFixedSize(boardWidth, boardHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    image_backup.fill(Qt::white);
    screenimage.fill(Qt::white);
}

void DrawingBoard::changed(const QRect &area)
{
    if (!area.isEmpty())
        update(area);
}

void DrawingBoard::wipe()
{
    changed(screen.wipe());
    backup.wipe();
}

void DrawingBoard::penDown(QPoint p, const QColor &colour, int width)
{
    for (Canvas *c : {&screen, &backup}) {
        c->setPen(colour, width);
        c->moveTo(p);
    }
    penTo(p);
}

void DrawingBoard::penTo(QPoint p)
{
    shown(backup.lineTo(p));
}

void DrawingBoard::penThrough(const QColor &colour, int width, const QPoint *points, qsizetype count)
{
    screen.setPen(colour, width);
    backup.setPen(colour, width);
    shown(backup.lineThrough(points, count));
}

void DrawingBoard::shown(const QRect &area)
{
    // The stroke is painted once, on the backing picture; the screen surface would have been
    // painted with the same pen from the same picture, so the changed area is copied instead.
    screen.moveTo(backup.penpos);
    image_mainPaint(area);
    changed(area);
}

void DrawingBoard::image_mainPaint(const QRect &area)
{
    const QRect r = area & image_backup.rect();
    if (r.isEmpty())
        return;
    if (screenimage.size() != image_backup.size() || screenimage.format() != image_backup.format() ||
        image_backup.depth() != 32) {
        QPainter p(&screenimage);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(r, image_backup, r);
        return;
    }
    // Row by row: both pictures have the same size and format.
    const qsizetype bytes = qsizetype(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        memcpy(screenimage.scanLine(y) + r.left() * 4, image_backup.constScanLine(y) + r.left() * 4, bytes);
}

void DrawingBoard::paintEvent(QPaintEvent *e)
{
    image_mainPaint(e->rect());
    QPainter p(this);
    p.drawImage(e->rect(), screenimage, e->rect());
}

void DrawingBoard::mousePressEvent(QMouseEvent *e)
{
    if (onMouseDown)
        onMouseDown(e->button(), e->buttons(), e->position().toPoint().x(), e->position().toPoint().y());
}

void DrawingBoard::mouseMoveEvent(QMouseEvent *e)
{
    if (onMouseMove)
        onMouseMove(e->buttons(), e->position().toPoint().x(), e->position().toPoint().y());
}

void DrawingBoard::mouseReleaseEvent(QMouseEvent *e)
{
    if (onMouseUp)
        onMouseUp(e->button(), e->buttons(), e->position().toPoint().x(), e->position().toPoint().y());
}
