#include "features/quickphrases.h"

#include "protocol/text.h"

namespace quickphrases {

QStringList builtin()
{
    return {
        QStringLiteral("Way To Go!"), QStringLiteral("Good One!"),  QStringLiteral("Nice Try!"),
        QStringLiteral("Excellent!"), QStringLiteral("Brilliant!"), QStringLiteral("Wow, WTG!"),
        QStringLiteral("Thanks!"),    QStringLiteral("Nice Roll!"), QStringLiteral("Good Game Everyone!")};
}

QString actiontext(const QString &phrase)
{
    if (phrase.startsWith(QLatin1String("/me")))
        return text::wireSafe(phrase.mid(4));
    return text::wireSafe(QStringLiteral("says: ") + phrase);
}

} // namespace quickphrases
