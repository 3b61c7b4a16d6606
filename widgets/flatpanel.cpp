#include "widgets/flatpanel.h"

#include <QPainter>

FlatPanel::FlatPanel(QWidget *parent) : QWidget(parent) {}

void FlatPanel::setColors(const QColor &fill, const QColor &border)
{
    fillColor = fill;
    borderColor = border;
    update();
}

void FlatPanel::setRadius(int r)
{
    radius = r;
    update();
}

void FlatPanel::setBorderWidth(int w)
{
    borderWidth = w;
    update();
}

void FlatPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, radius > 0);
    const qreal half = borderWidth / 2.0;
    const QRectF r = QRectF(rect()).adjusted(half, half, -half, -half);
    p.setBrush(fillColor);
    if (borderWidth > 0)
        p.setPen(QPen(borderColor, borderWidth));
    else
        p.setPen(Qt::NoPen);
    if (radius > 0)
        p.drawRoundedRect(r, radius, radius);
    else
        p.drawRect(r);
}
