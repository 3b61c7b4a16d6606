#include "windows/lobbyart.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace lobbyart {

namespace {
const QColor ink(0x5b, 0x2a, 0x1c);
const QColor cream(0xff, 0xf5, 0xdc);

// A loose, curvy stroke through the given points, as drawn with a thick pen.
void stroke(QPainter &p, const QColor &c, qreal width, std::initializer_list<QPointF> pts)
{
    QPainterPath path;
    auto it = pts.begin();
    path.moveTo(*it);
    QPointF prev = *it++;
    for (; it != pts.end(); ++it) {
        const QPointF mid = (prev + *it) / 2;
        path.quadTo(prev, mid);
        prev = *it;
    }
    path.lineTo(prev);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}
} // namespace

QPixmap aboutPicture()
{
    QImage img(202, 203, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(101, 90, 150);
    glow.setColorAt(0, cream);
    glow.setColorAt(1, QColor(0xf0, 0xd9, 0xa8));
    p.fillRect(img.rect(), glow);
    // Doodles in the corners, faint so the lettering stays readable.
    stroke(p, QColor(0xe0, 0x53, 0x3d, 90), 3, {{8, 190}, {24, 170}, {40, 184}, {56, 166}});
    stroke(p, QColor(0x4f, 0xa3, 0xe0, 90), 3, {{150, 194}, {168, 176}, {186, 190}, {196, 170}});
    stroke(p, QColor(0xf5, 0xc2, 0x42, 110), 3, {{6, 20}, {18, 8}, {30, 24}, {42, 10}});
    stroke(p, QColor(0x8e, 0xd3, 0xc7, 110), 3, {{160, 30}, {176, 12}, {192, 28}});
    // A quill along the right edge.
    p.save();
    p.translate(186, 70);
    p.rotate(25);
    QPainterPath feather;
    feather.moveTo(0, -40);
    feather.cubicTo(12, -20, 10, 20, 0, 40);
    feather.cubicTo(-10, 20, -12, -20, 0, -40);
    p.setPen(QPen(QColor(ink.red(), ink.green(), ink.blue(), 70), 1));
    p.setBrush(QColor(0xff, 0xff, 0xff, 90));
    p.drawPath(feather);
    p.drawLine(QPointF(0, -36), QPointF(0, 52));
    p.restore();
    p.setPen(QPen(QColor(0x80, 0x1c, 0x12, 120), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(img.rect()).adjusted(3, 3, -3, -3), 8, 8);
    p.end();
    return QPixmap::fromImage(img);
}

QRect signArea()
{
    return {98, 30, 240, 70};
}

QPixmap closedPicture()
{
    QImage img(436, 360, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wall(0, 0, 0, 360);
    wall.setColorAt(0, QColor(0xfb, 0xe7, 0xc0));
    wall.setColorAt(1, QColor(0xf3, 0xc9, 0x8b));
    p.fillRect(img.rect(), wall);
    // Floor.
    p.fillRect(QRect(0, 318, 436, 42), QColor(0xc9, 0x8a, 0x5e));
    p.setPen(QPen(ink, 2));
    p.drawLine(0, 318, 436, 318);

    // The sign board, hanging on two cords; its text is the window's caption label.
    const QRectF sign = signArea();
    p.drawLine(sign.topLeft() + QPointF(30, 0), QPointF(sign.left() + 60, 6));
    p.drawLine(sign.topRight() + QPointF(-30, 0), QPointF(sign.right() - 60, 6));
    p.setBrush(cream);
    p.setPen(QPen(ink, 3));
    p.drawRoundedRect(sign, 10, 10);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 13, QFont::Bold));
    p.setPen(ink);
    p.drawText(sign.adjusted(0, 6, 0, -36), Qt::AlignCenter, QStringLiteral("ONLINE PLAY"));

    // The door with its frame, knob and a plank nailed across.
    const QRectF door(148, 120, 140, 198);
    p.setBrush(QColor(0x9c, 0x5b, 0x34));
    p.setPen(QPen(ink, 3));
    p.drawRect(door.adjusted(-10, -10, 10, 0));
    p.setBrush(QColor(0xb8, 0x6e, 0x3f));
    p.drawRect(door);
    p.setBrush(QColor(0xf5, 0xc2, 0x42));
    p.drawEllipse(QPointF(door.right() - 20, door.center().y() + 10), 7, 7);
    p.save();
    p.translate(door.center());
    p.rotate(-14);
    p.setBrush(QColor(0xe6, 0xb0, 0x72));
    p.drawRect(QRectF(-96, -14, 192, 28));
    p.setBrush(ink);
    p.drawEllipse(QPointF(-82, 0), 3, 3);
    p.drawEllipse(QPointF(82, 0), 3, 3);
    p.restore();

    // Two potted plants and loose strokes around, as if drawn in the game.
    for (int x : {60, 376}) {
        p.setBrush(QColor(0xe0, 0x53, 0x3d));
        p.setPen(QPen(ink, 2));
        p.drawPolygon(QPolygonF(
            {QPointF(x - 22, 270), QPointF(x + 22, 270), QPointF(x + 16, 316), QPointF(x - 16, 316)}));
        stroke(p, QColor(0x5c, 0x9e, 0x3c), 5, {{qreal(x), 270}, {qreal(x - 14), 236}, {qreal(x - 30), 220}});
        stroke(p, QColor(0x5c, 0x9e, 0x3c), 5, {{qreal(x), 270}, {qreal(x + 6), 226}, {qreal(x + 24), 206}});
        stroke(p, QColor(0x5c, 0x9e, 0x3c), 5, {{qreal(x), 270}, {qreal(x - 2), 240}, {qreal(x), 200}});
    }
    stroke(p, QColor(0x4f, 0xa3, 0xe0, 140), 4, {{20, 40}, {40, 20}, {60, 44}, {80, 24}});
    stroke(p, QColor(0xd9, 0xab, 0xe2, 160), 4, {{356, 150}, {380, 130}, {404, 152}, {424, 132}});
    p.setPen(QPen(ink, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(img.rect()).adjusted(1, 1, -1, -1));
    p.end();
    return QPixmap::fromImage(img);
}

} // namespace lobbyart
