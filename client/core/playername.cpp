#include "client/core/playername.h"

#include "client/core/playergame.h"

namespace playername {

QString seatproblem(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("Type your name.");
    // Every copy shows an empty seat so; a player of that name would look like nobody.
    if (trimmed.compare(PlayerGame::waiting, Qt::CaseInsensitive) == 0)
        return PlayerGame::waiting + QStringLiteral(" marks an empty seat; choose another name.");
    return {};
}

QString problem(const QString &name)
{
    if (const QString why = seatproblem(name); !why.isEmpty())
        return why;
    const QString trimmed = name.trimmed();
    if (trimmed.size() > maxLength)
        return QStringLiteral("A name has %1 characters at most.").arg(maxLength);
    for (QChar c : trimmed) {
        if (c == QLatin1Char('+') || c == QChar(0xFF) || !c.isPrint())
            return QStringLiteral("A name can't hold \"+\", \"%1\" or control characters.").arg(QChar(0xFF));
    }
    return {};
}

} // namespace playername
