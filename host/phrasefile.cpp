#include "host/phrasefile.h"

#include "host/judging.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <climits>

namespace phrasefile {

namespace {

Lists refused(int line, const QString &why)
{
    Lists l;
    l.line = line;
    l.error = line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(why) : why;
    return l;
}

// The category a heading's name stands for, or -1.
int heading(const QString &name)
{
    const QString wanted =
        name.simplified().toLower().replace(QStringLiteral(" and "), QStringLiteral(" & "));
    for (int c = 0; c < phrases::categories; ++c) {
        if (phrases::categoryname(c).toLower() == wanted)
            return c;
    }
    return -1;
}

QString headings()
{
    QStringList names;
    for (int c = 0; c < phrases::categories; ++c)
        names << QLatin1Char('[') + phrases::categoryname(c) + QLatin1Char(']');
    return names.join(QStringLiteral(", "));
}

// The character travels in a message and shows: the code page holds it, and it is neither a
// control character, one that shows nothing (a soft hyphen), nor the byte that ends a message.
bool carried(char32_t c)
{
    if (c > 0xFFFF || !QChar::isPrint(c))
        return false;
    const QString one{QChar(char16_t(c))};
    const QByteArray byte = cp1252::encode(one);
    return byte.at(0) != framing::endMarker && cp1252::decode(byte) == one;
}

} // namespace

qsizetype maxlength()
{
    // The widest numbers any of these messages may carry.
    const qsizetype answer = cmd::buildCorrectanswer(15, INT_MIN, 15, INT_MIN, QString()).size();
    // The mask is one character longer than its phrase.
    const qsizetype mask = cmd::buildNextplayer(15, 6, QString()).size() + 1;
    const qsizetype update = cmd::buildUpdateanswer(false, QString()).size() + 1;
    return framing::maxMessage - qMax(answer, qMax(mask, update));
}

QString problem(const QString &phrase)
{
    if (phrase.size() > maxlength())
        return QStringLiteral("the phrase has %1 characters; a message carries at most %2")
            .arg(phrase.size())
            .arg(maxlength());
    for (const char32_t c : QStringView(phrase).toUcs4()) {
        if (!carried(c)) {
            const QString code =
                QStringLiteral("U+") + QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0'));
            return QStringLiteral("the character %1 cannot be sent to the players")
                .arg(QChar::isPrint(c) ? QLatin1Char('"') + QString::fromUcs4(&c, 1) + QStringLiteral("\" (") +
                                             code + QLatin1Char(')')
                                       : code);
        }
    }
    if (!phrases::passesrepeattest(phrase))
        return QStringLiteral("\"%1\" has a word that comes again later in it, and the host never deals such "
                              "a phrase")
            .arg(phrase);
    if (!judging::solvable(phrase))
        return QStringLiteral("\"%1\" cannot be solved by typing it word by word").arg(phrase);
    return {};
}

Lists parse(const QByteArray &bytes)
{
    Lists result;
    // The phrases before the first heading, for every category without a heading of its own.
    QStringList shared;
    std::array<int, phrases::categories> headed{};
    int current = -1;
    int number = 0;
    int firstheading = 0;
    const QByteArrayList lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        number = int(i) + 1;
        QByteArray raw = lines[i];
        if (i == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = utf8(raw);
        if (utf8.hasError())
            return refused(number, QStringLiteral("the line is not UTF-8 text"));
        // A no-break space is a space to whoever types the phrase.
        line = line.replace(QChar(0xA0), QLatin1Char(' ')).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = heading(line.mid(1, line.size() - 2));
            if (current < 0)
                return refused(number,
                               line + QStringLiteral(" is no category; the headings are ") + headings());
            if (headed[current] == 0)
                headed[current] = number;
            if (firstheading == 0)
                firstheading = number;
            continue;
        }
        if (const QString why = problem(line); !why.isEmpty())
            return refused(number, why);
        (current < 0 ? shared : result.lists[size_t(current)]).append(line);
    }
    for (int c = 0; c < phrases::categories; ++c) {
        QStringList &list = result.lists[size_t(c)];
        if (headed[c] == 0)
            list = shared;
        if (!list.isEmpty())
            continue;
        const QString name = phrases::categoryname(c);
        if (headed[c] != 0)
            return refused(headed[c], QStringLiteral("[%1] has no phrases").arg(name));
        return refused(
            qMax(1, firstheading),
            QStringLiteral("no phrases for %1: put some under [%1], or before the first heading").arg(name));
    }
    return result;
}

Lists load(const QString &path)
{
    QFile file(path);
    // A device or a pipe has no size to check, and may never end.
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        return refused(0, QStringLiteral("%1 is not a file").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return refused(0, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    if (file.size() > maxbytes)
        return refused(0, QStringLiteral("%1 is larger than %2 MB").arg(path).arg(maxbytes / (1024 * 1024)));
    const QByteArray bytes = file.read(maxbytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(0, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    // It grew while it was read.
    if (bytes.size() > maxbytes)
        return refused(0, QStringLiteral("%1 is larger than %2 MB").arg(path).arg(maxbytes / (1024 * 1024)));
    return parse(bytes);
}

} // namespace phrasefile
