#include "widgets/flatbutton.h"

#include <QImage>
#include <QPainter>

FlatButton::FlatButton(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

FlatButton::FlatButton(const QPixmap &picture, QWidget *parent) : FlatButton(parent)
{
    setPicture(picture);
}

void FlatButton::setPicture(const QPixmap &picture)
{
    pix = picture;
    updateGeometry();
    update();
}

QSize FlatButton::sizeHint() const
{
    if (!pix.isNull())
        return pix.deviceIndependentSize().toSize();
    return fontMetrics().size(Qt::TextShowMnemonic, text()) + QSize(16, 8);
}

void FlatButton::enterEvent(QEnterEvent *e)
{
    hovered = true;
    update();
    QAbstractButton::enterEvent(e);
}

void FlatButton::leaveEvent(QEvent *e)
{
    hovered = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void FlatButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool sunk = isDown() || isChecked();
    const QRect r = rect().translated(sunk ? 1 : 0, sunk ? 1 : 0);
    // A light wash under the pointer, a darker one while down; none when disabled.
    QColor wash(0, 0, 0, 0);
    if (isEnabled() && sunk)
        wash = QColor(70, 30, 0, 45);
    else if (isEnabled() && hovered)
        wash = QColor(255, 255, 255, 70);
    if (!pix.isNull() && text().isEmpty()) {
        // Picture-only button: the picture is the whole face; the wash falls on its opaque parts.
        QImage face = pix.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (wash.alpha() > 0) {
            QPainter fp(&face);
            fp.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            fp.fillRect(face.rect(), wash);
        }
        if (!isEnabled())
            p.setOpacity(0.45);
        p.drawImage(r, face);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(r).adjusted(0.5, 0.5, -1.5, -1.5);
    p.setPen(QColor(0x9A, 0x6A, 0x3E));
    p.setBrush(QColor(0xFF, 0xE8, 0xB0));
    p.drawRoundedRect(box, 4, 4);
    if (wash.alpha() > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(wash);
        p.drawRoundedRect(box, 4, 4);
    }
    QRect textRect = r.adjusted(0, 0, -1, -1);
    if (!pix.isNull()) {
        // A small picture at the left, the text centred in what remains.
        const QSize ps = pix.deviceIndependentSize().toSize();
        p.drawPixmap(r.left() + 4, r.top() + (r.height() - ps.height()) / 2, pix);
        textRect.setLeft(r.left() + 6 + ps.width());
    }
    p.setPen(isEnabled() ? QColor(0x80, 0x00, 0x00) : QColor(0xA0, 0x90, 0x80));
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
