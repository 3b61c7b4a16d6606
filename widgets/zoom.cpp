#include "widgets/zoom.h"

#include <QAbstractButton>
#include <QLabel>

QRect Zoom::scaled(const QRect &r) const
{
    // Edges, not sizes, are scaled, so that neighbours stay neighbours.
    const int left = scaled(r.left());
    const int top = scaled(r.top());
    return QRect(left, top, scaled(r.left() + r.width()) - left, scaled(r.top() + r.height()) - top);
}

QFont Zoom::scaled(const QFont &base) const
{
    QFont f = base;
    if (base.pixelSize() > 0)
        f.setPixelSize(qMax(1, scaled(base.pixelSize())));
    else if (base.pointSizeF() > 0)
        f.setPointSizeF(base.pointSizeF() * current);
    if (base.letterSpacingType() == QFont::AbsoluteSpacing)
        f.setLetterSpacing(QFont::AbsoluteSpacing, base.letterSpacing() * current);
    return f;
}

QPixmap Zoom::scaled(const QPixmap &p) const
{
    if (p.isNull() || current == 1.0)
        return p;
    return p.scaled(p.size() * current, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void Zoom::remember(QWidget *root)
{
    bases.clear();
    QList<QWidget *> all{root};
    all += root->findChildren<QWidget *>();
    for (QWidget *w : all) {
        if (w->isWindow() && w != root)
            continue; // a dialog or menu of its own
        Base b;
        b.widget = w;
        b.geometry = w->geometry();
        b.fixed = w->minimumSize() == w->maximumSize();
        b.hasFont = w == root || w->testAttribute(Qt::WA_SetFont);
        b.font = w->font();
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            b.iconSize = button->iconSize();
            b.icon = button->icon();
        }
        if (auto *label = qobject_cast<QLabel *>(w))
            b.picture = label->pixmap();
        bases.append(b);
    }
}

void Zoom::apply(double factor)
{
    current = factor;
    // Parents first: a parent that lays its children out when resized is then overruled. The
    // root only changes size: its place is its parent's affair.
    for (const Base &b : std::as_const(bases)) {
        QWidget *w = b.widget;
        if (!w)
            continue;
        const bool root = &b == &bases.first();
        const QRect r = root ? QRect(QPoint(), b.geometry.size() * factor) : scaled(b.geometry);
        if (b.fixed)
            w->setFixedSize(r.size());
        if (root)
            w->resize(r.size());
        else
            w->setGeometry(r);
        if (b.hasFont && !ownFonts.contains(w))
            w->setFont(scaled(b.font));
        if (auto *button = qobject_cast<QAbstractButton *>(w); button && !b.icon.isNull()) {
            // An icon is never drawn larger than its picture: the picture is scaled for it.
            button->setIcon(factor == 1.0 ? b.icon : QIcon(scaled(b.icon.pixmap(b.iconSize))));
            button->setIconSize(b.iconSize * factor);
        }
        if (auto *label = qobject_cast<QLabel *>(w);
            label && !b.picture.isNull() && !label->hasScaledContents())
            label->setPixmap(scaled(b.picture));
    }
}
