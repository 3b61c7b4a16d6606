#include "widgets/resourceicon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {

class ResourceIconEngine : public QIconEngine
{
public:
    ResourceIconEngine(const QString &pattern, QList<int> sizes) : pattern(pattern), sizes(std::move(sizes))
    {
        std::sort(this->sizes.begin(), this->sizes.end());
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        if (sizes.isEmpty() || size.isEmpty())
            return {};
        // The smallest file at least as large as asked, scaled down to fit; else the largest as it is.
        const int side = std::max(size.width(), size.height());
        const auto it = std::lower_bound(sizes.cbegin(), sizes.cend(), side);
        const QPixmap file(pattern.arg(it == sizes.cend() ? sizes.last() : *it));
        if (file.isNull() || (file.width() <= size.width() && file.height() <= size.height()))
            return file;
        return file.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> all;
        for (int s : std::as_const(sizes))
            all << QSize(s, s);
        return all;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        const int largest = sizes.isEmpty() ? 0 : sizes.last();
        return QSize(std::min(side, largest), std::min(side, largest));
    }

    QIconEngine *clone() const override { return new ResourceIconEngine(pattern, sizes); }
    QString key() const override { return QStringLiteral("ResourceIconEngine"); }

private:
    QString pattern;
    QList<int> sizes;
};

} // namespace

QIcon resourceIcon(const QString &pattern, const QList<int> &sizes)
{
    return QIcon(new ResourceIconEngine(pattern, sizes));
}
