#include "host/hints.h"

namespace hints {

int due(int seconds, int left)
{
    int n = 0;
    if (left <= seconds / 2)
        ++n;
    if (left <= seconds / 4)
        ++n;
    return n;
}

QList<qsizetype> candidates(const QString &phrase, const QString &mask)
{
    QList<qsizetype> out;
    const qsizetype size = qMin(phrase.size(), mask.size());
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = phrase.indexOf(QLatin1Char(' '), start);
        if (end < 0 || end > size)
            end = size;
        qsizetype hidden = 0;
        for (qsizetype i = start; i < end; ++i)
            hidden += mask.at(i) == QLatin1Char('_');
        if (hidden >= 2) {
            for (qsizetype i = start; i < end; ++i)
                if (mask.at(i) == QLatin1Char('_') && phrase.at(i).isLetterOrNumber())
                    out.append(i);
        }
        start = end + 1;
    }
    return out;
}

QString reveal(const QString &phrase, const QString &mask, qsizetype pos)
{
    QString shown = mask;
    if (pos >= 0 && pos < phrase.size() && pos < shown.size())
        shown[pos] = phrase.at(pos);
    return shown;
}

} // namespace hints
