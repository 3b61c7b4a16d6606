#include "widgets/fittinglabel.h"

#include <QFontMetrics>
#include <QPainter>

QFont FittingLabel::shownFont() const
{
    QFont f = font();
    const int room = contentsRect().width();
    if (smallest > 0 && f.pixelSize() > 0) {
        while (f.pixelSize() > smallest && QFontMetrics(f).elidedText(text(), Qt::ElideRight, room) != text())
            f.setPixelSize(f.pixelSize() - 1);
    }
    return f;
}

QString FittingLabel::shownText() const
{
    return QFontMetrics(shownFont()).elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void FittingLabel::paintEvent(QPaintEvent *e)
{
    if (text().isEmpty() || wordWrap()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    drawFrame(&p);
    p.setFont(shownFont());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    p.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, shownText());
}
