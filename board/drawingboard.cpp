#include "board/drawingboard.h"

#include <QPainter>

DrawingBoard::DrawingBoard(QWidget *parent)
    : QWidget(parent), image_backup(boardWidth, boardHeight, QImage::Format_RGB32)
{
    setFixedSize(boardWidth, boardHeight);
    image_backup.fill(Qt::white);
}

void DrawingBoard::wipe()
{
    image_backup.fill(Qt::white);
    update();
}

void DrawingBoard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, image_backup);
}
