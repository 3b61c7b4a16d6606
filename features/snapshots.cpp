#include "features/snapshots.h"

#include "features/jpegwriter.h"
#include "platform/config.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <climits>

namespace snapshots {

namespace {

const QLatin1String prefix("snapshot");
const QLatin1String extension(".jpg");

QFont captionFont()
{
    QFont f;
    f.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(16); // 12 points on a 96-dpi screen, whatever the picture's own resolution
    return f;
}

} // namespace

QString folder()
{
    return config::snapshotsDir();
}

QString fileName(int number)
{
    return prefix + QString::number(number) + extension;
}

int numberOf(const QString &name)
{
    if (!name.startsWith(prefix, Qt::CaseInsensitive) || !name.endsWith(extension, Qt::CaseInsensitive))
        return 0;
    const QStringView digits =
        QStringView(name).mid(prefix.size(), name.size() - prefix.size() - extension.size());
    if (digits.isEmpty() || digits.size() > 10)
        return 0;
    qint64 n = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        n = n * 10 + (c.unicode() - '0');
    }
    return n <= INT_MAX ? int(n) : 0;
}

int nextNumber(int snapcount, const QString &folder)
{
    int last = std::max(snapcount, 0);
    const QStringList names = QDir(folder).entryList({prefix + QLatin1Char('*') + extension},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        last = std::max(last, numberOf(name));
    return last == INT_MAX ? 1 : last + 1;
}

QStringList ordered(QStringList names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int na = numberOf(a), nb = numberOf(b);
        if (na != nb)
            return na == 0 ? false : (nb == 0 ? true : na < nb);
        return a < b;
    });
    return names;
}

QStringList list(const QString &folder)
{
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.jpg")});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Unsorted);
    return ordered(dir.entryList());
}

void stamp(QImage &picture, const QString &caption)
{
    QPainter p(&picture);
    const QFont font = captionFont();
    p.setFont(font);
    const QFontMetrics metrics(font);
    const QRect box(4, 4, metrics.horizontalAdvance(caption), metrics.height());
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
}

QString save(const QImage &picture, const QString &folder, int number)
{
    // The whole path is made: an installed copy's data folder may not exist yet at all. A folder
    // that can't be made shows as the file error.
    const QDir dir(folder);
    if (!dir.exists())
        QDir().mkpath(folder);
    const QString path = dir.filePath(fileName(number));
    jpeg::save(picture, path);
    return path;
}

} // namespace snapshots
