#pragma once
// What the benchmarks of a live game share: waiting on the event loop, percentiles of timings,
// and a chat player without a window that times its lines' echo through the host.

#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <algorithm>
#include <functional>

inline bool waitUntil(const std::function<bool()> &condition, int ms = 10000)
{
    QDeadlineTimer until(ms);
    while (!condition()) {
        if (until.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

struct Percentiles
{
    double p50 = 0, p99 = 0, max = 0;
};

inline Percentiles percentiles(QList<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.isEmpty())
        return {};
    const auto at = [&](double q) {
        return v[std::min<qsizetype>(v.size() - 1, qsizetype(q * double(v.size())))];
    };
    return {at(0.50), at(0.99), v.last()};
}

// A chat player without a window: logs in under a name, sends a line when asked and times its
// echo from the host.
class ChatProbe : public QObject
{
public:
    explicit ChatProbe(quint16 port, const QString &name = QStringLiteral("Probe")) : name(name)
    {
        connect(&sock, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&sock, &QTcpSocket::disconnected, this, [this] { closed = true; });
        sock.connectToHost(QStringLiteral("127.0.0.1"), port);
        sock.waitForConnected(3000);
        sock.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }
    int slot = 0;
    bool closed = false;
    // Milliseconds from each line to its echo; a line without an echo after a second counts as
    // the time it waited when the next one goes.
    QList<double> trips;
    void say()
    {
        if (slot == 0 || (!answered() && clock.elapsed() < 1000))
            return;
        if (!answered())
            trips << double(clock.elapsed());
        ++sent;
        clock.start();
        write(cmd::buildChat(slot, QStringLiteral("line %1").arg(sent), QStringLiteral("clBlack")));
    }
    bool answered() const { return echoed == sent; }

private:
    void write(const QString &text)
    {
        sock.write(framing::frame(cp1252::encode(text)));
        sock.flush();
    }
    void read()
    {
        QByteArrayList messages;
        frames.feed(sock.readAll(), messages);
        for (const QByteArray &m : messages) {
            const QString text = cp1252::decode(m);
            if (text.startsWith(QStringLiteral("CMD_sendlogininfo+"))) {
                slot = text.mid(18).toInt();
                write(cmd::buildLogininfo(slot, cmd::versionText, name));
            } else if (!answered() && text.startsWith(QStringLiteral("CMD_chat+")) &&
                       text.endsWith(QStringLiteral(" line %1|clBlack").arg(sent))) {
                trips << double(clock.nsecsElapsed()) / 1e6;
                echoed = sent;
            }
        }
    }
    QString name;
    QTcpSocket sock;
    framing::FrameBuffer frames;
    QElapsedTimer clock;
    int sent = 0, echoed = 0;
};
