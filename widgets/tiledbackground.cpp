#include "widgets/tiledbackground.h"

#include <QPaintEvent>
#include <QPainter>

TiledBackground::TiledBackground(QWidget *parent) : QWidget(parent) {}

void TiledBackground::setTile(const QPixmap &t)
{
    tilePix = t;
    update();
}

void TiledBackground::setCentred(QWidget *child)
{
    centred = child;
    if (child) {
        setMinimumSize(child->size());
        child->installEventFilter(this);
    }
    place();
}

bool TiledBackground::eventFilter(QObject *watched, QEvent *e)
{
    // The child grew or shrank (the window's zoom): it stays centred.
    if (watched == centred && e->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, e);
}

void TiledBackground::place()
{
    if (!centred)
        return;
    const QSize s = centred->size();
    centred->move(qMax(0, (width() - s.width()) / 2), qMax(0, (height() - s.height()) / 2));
}

void TiledBackground::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    place();
}

void TiledBackground::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    if (tilePix.isNull())
        p.fillRect(e->rect(), palette().window());
    else
        p.drawTiledPixmap(rect(), tilePix);
}
