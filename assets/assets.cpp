#include "assets/assets.h"

#include <QFile>

namespace assets {

QByteArray load(const QString &path)
{
    QFile f(QStringLiteral(":/") + path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace assets
