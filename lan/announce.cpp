#include "lan/announce.h"

#include <QStringDecoder>
#include <algorithm>

namespace announce {

namespace {
// Plain decimal digits within [low, high]; nothing else.
std::optional<int> number(const QByteArray &text, int low, int high)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

bool printable(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.isPrint(); });
}
} // namespace

QByteArray encode(const Announcement &a, const QByteArray &prefix)
{
    QString name = a.name.left(maxName);
    // Cut between the halves of a surrogate pair would leave half a character.
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    QByteArray out = prefix;
    out += '\n' + QByteArray::number(a.port) + '\n' + QByteArray::number(a.seated) + '\n' +
           QByteArray::number(a.spies) + '\n' + (a.running ? '1' : '0') + '\n' + name.toUtf8();
    return out;
}

std::optional<Announcement> decode(const QByteArray &datagram, const QByteArray &prefix)
{
    if (datagram.size() > maxDatagram || prefix.isEmpty())
        return std::nullopt;
    const QList<QByteArray> parts = datagram.split('\n');
    if (parts.size() != 6 || parts[0] != prefix)
        return std::nullopt;
    const auto port = number(parts[1], 1, 65535);
    const auto seated = number(parts[2], 0, 10);
    const auto spies = number(parts[3], 0, 5);
    const auto running = number(parts[4], 0, 1);
    if (!port || !seated || !spies || !running)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString name = utf8.decode(parts[5]);
    if (utf8.hasError() || name.trimmed().isEmpty() || name.size() > maxName || !printable(name))
        return std::nullopt;
    return Announcement{name, quint16(*port), *seated, *spies, *running == 1};
}

bool GameList::heard(const QString &address, const Announcement &a, qint64 now)
{
    for (HeardGame &g : list) {
        if (g.address == address && g.game.port == a.port) {
            g.lastHeard = now;
            const bool changed = g.game.name != a.name || g.game.seated != a.seated ||
                                 g.game.spies != a.spies || g.game.running != a.running;
            g.game = a;
            return changed;
        }
    }
    if (list.size() >= maxGames) {
        // The game heard least recently makes room.
        const auto stalest = std::min_element(
            list.begin(), list.end(), [](const auto &x, const auto &y) { return x.lastHeard < y.lastHeard; });
        list.erase(stalest);
    }
    list.prepend(HeardGame{address, a, now, now});
    return true;
}

bool GameList::age(qint64 now)
{
    return list.removeIf([now](const HeardGame &g) { return now - g.lastHeard >= timeout; }) > 0;
}

} // namespace announce
