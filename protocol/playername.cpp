#include "protocol/playername.h"

namespace playername {

namespace {
// The name as it is seen: characters that show nothing (a soft hyphen, a control character) gone.
QString visible(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        if (c.isPrint())
            out += c;
    return out.trimmed();
}
} // namespace

bool seatable(const QString &name)
{
    const QString seen = visible(name);
    return !seen.isEmpty() && seen.compare(emptyseat, Qt::CaseInsensitive) != 0;
}

QString shown(const QString &name)
{
    QString out = name.left(2 * maxLength);
    for (QChar &c : out)
        if (!c.isPrint())
            c = QLatin1Char('?');
    return name.size() > out.size() ? out + QStringLiteral("...") : out;
}

QString seatproblem(const QString &name)
{
    if (seatable(name))
        return {};
    if (visible(name).isEmpty())
        return QStringLiteral("Type your name.");
    return emptyseat + QStringLiteral(" marks an empty seat; choose another name.");
}

namespace {
// `typed`: the dialogs also keep out "+" and the end marker, which the wire would misread there.
QString check(const QString &name, bool typed)
{
    if (const QString why = seatproblem(name); !why.isEmpty())
        return why;
    const QString trimmed = name.trimmed();
    if (trimmed.size() > maxLength)
        return QStringLiteral("A name has %1 characters at most.").arg(maxLength);
    for (QChar c : trimmed) {
        if (typed && (c == QLatin1Char('+') || c == QChar(0xFF) || !c.isPrint()))
            return QStringLiteral("A name can't hold \"+\", \"%1\" or control characters.").arg(QChar(0xFF));
        if (!c.isPrint())
            return QStringLiteral("A name can't hold control characters or characters that show nothing.");
    }
    return {};
}
} // namespace

QString problem(const QString &name)
{
    return check(name, true);
}

QString loginproblem(const QString &name)
{
    return check(name, false);
}

} // namespace playername
