#include "protocol/playername.h"

namespace playername {

bool seatable(const QString &name)
{
    const QString trimmed = name.trimmed();
    return !trimmed.isEmpty() && trimmed.compare(emptyseat, Qt::CaseInsensitive) != 0;
}

QString seatproblem(const QString &name)
{
    if (seatable(name))
        return {};
    if (name.trimmed().isEmpty())
        return QStringLiteral("Type your name.");
    return emptyseat + QStringLiteral(" marks an empty seat; choose another name.");
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
