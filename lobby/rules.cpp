#include "lobby/rules.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace lobby {

namespace {

QJsonObject object(const Listing &t)
{
    return QJsonObject{
        {QStringLiteral("name"), t.name},
        {QStringLiteral("private"), t.isPrivate},
        {QStringLiteral("players"), t.seated},
        {QStringLiteral("seats"), seats},
        {QStringLiteral("spectators"), t.watching},
        {QStringLiteral("playing"), t.running},
        {QStringLiteral("playTo"), t.playto},
        {QStringLiteral("turnSeconds"), t.turnseconds},
        {QStringLiteral("hints"), t.hints},
        {QStringLiteral("language"), t.language},
        {QStringLiteral("gamePort"), int(t.gamePort)},
        {QStringLiteral("webPort"), int(t.webPort)},
    };
}

} // namespace

QByteArray listingJson(const QList<Listing> &tables)
{
    QJsonArray list;
    for (const Listing &t : tables)
        if (!t.isPrivate)
            list.append(object(t));
    return QJsonDocument(QJsonObject{{QStringLiteral("tables"), list}}).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray tableJson(const Listing &t)
{
    return QJsonDocument(object(t)).toJson(QJsonDocument::Compact) + '\n';
}

int quickPlay(const QList<Listing> &tables)
{
    int pick = -1;
    for (int i = 0; i < tables.size(); ++i) {
        const Listing &t = tables[i];
        if (t.isPrivate || t.seated >= seats)
            continue;
        if (pick < 0) {
            pick = i;
            continue;
        }
        const Listing &best = tables[pick];
        if (best.running != t.running ? !t.running : t.seated > best.seated)
            pick = i;
    }
    return pick;
}

QString privateName(QRandomGenerator &random)
{
    QString name;
    for (int i = 0; i < 3; ++i)
        name += QStringLiteral("%1").arg(random.generate(), 8, 16, QLatin1Char('0'));
    return name;
}

bool validName(const QString &name)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9-]{1,32}$"));
    return shape.match(name).hasMatch();
}

QByteArray addressKey(const QByteArray &address)
{
    const QHostAddress a(QString::fromLatin1(address));
    bool v4 = false;
    const quint32 four = a.toIPv4Address(&v4);
    if (v4)
        return QHostAddress(four).toString().toLatin1();
    if (a.protocol() != QAbstractSocket::IPv6Protocol)
        return address;
    Q_IPV6ADDR six = a.toIPv6Address();
    std::fill(six.c + 8, six.c + 16, quint8(0));
    return QHostAddress(six).toString().toLatin1() + "/64";
}

bool idleClosing(const Listing &t, qint64 now, qint64 idleMs)
{
    return t.emptySince >= 0 && now - t.emptySince >= idleMs;
}

void Limits::forget(qint64 now)
{
    for (auto i = recent.begin(); i != recent.end();) {
        while (!i->empty() && now - i->front() >= 60000)
            i->pop_front();
        i = i->empty() ? recent.erase(i) : std::next(i);
    }
}

QString Limits::refusal(const QByteArray &address, qint64 now, int open)
{
    forget(now);
    if (open >= maxTables)
        return QStringLiteral("The lobby holds as many tables as it may (%1); try again later")
            .arg(maxTables);
    if (recent.value(address).size() >= size_t(qMax(0, perMinute)))
        return QStringLiteral("This address has opened %1 tables in the last minute; wait a little")
            .arg(perMinute);
    return {};
}

void Limits::opened(const QByteArray &address, qint64 now)
{
    recent[address].push_back(now);
}

} // namespace lobby
