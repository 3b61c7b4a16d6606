#include "widgets/zoom.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLayout>

namespace {

bool inLayout(const QLayout *layout, const QWidget *w)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == w || (item->layout() && inLayout(item->layout(), w)))
            return true;
    }
    return false;
}

// A widget that its parent places itself: an item of the parent's layout, or a scroll area's
// viewport and scroll bars. The parent lays it out again at every size; a remembered place would
// be stale, taken before the parent ever laid it out while it was hidden.
bool placedByParent(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (!parent)
        return false;
    if (parent->layout() && inLayout(parent->layout(), w))
        return true;
    const auto *area = qobject_cast<const QAbstractScrollArea *>(parent);
    return area && (w == area->viewport() || w->objectName().startsWith(QLatin1String("qt_scrollarea_")));
}

} // namespace

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
        b.placed = w != root && placedByParent(w);
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
        else if (!b.placed)
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
