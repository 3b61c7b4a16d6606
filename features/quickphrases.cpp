#include "features/quickphrases.h"

#include "protocol/text.h"

#include <QTextDocument>

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

QString tooltip(const QString &phrase)
{
    // A hint that looks like markup is shown as rich text: such a phrase goes in escaped.
    if (!Qt::mightBeRichText(phrase))
        return phrase;
    return QStringLiteral("<p style=\"white-space:pre\">") + phrase.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace quickphrases
