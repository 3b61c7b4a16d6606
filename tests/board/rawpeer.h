#pragma once

// A raw loopback peer for tests: stands in for the host (it listens) or for a player (it
// connects), and reads and writes framed messages byte for byte.

#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <deque>

class RawPeer
{
public:
    // Listens on a free loopback port; returns it.
    quint16 listen()
    {
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }
    // Waits for the one connection to the listening peer.
    bool waitAccepted(int ms = 3000)
    {
        QDeadlineTimer until(ms);
        while (!conn && !until.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (server.hasPendingConnections())
                conn = server.nextPendingConnection();
        }
        return conn != nullptr;
    }
    // Connects to a listening program.
    bool connectTo(quint16 port, int ms = 3000)
    {
        own.connectToHost(QHostAddress::LocalHost, port);
        conn = &own;
        QDeadlineTimer until(ms);
        while (own.state() != QAbstractSocket::ConnectedState && !until.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return own.state() == QAbstractSocket::ConnectedState;
    }
    bool connected() const { return conn && conn->state() == QAbstractSocket::ConnectedState; }

    void send(const QString &text)
    {
        conn->write(framing::frame(cp1252::encode(text)));
        conn->flush();
    }

    // The next message, waiting for it while the event loop runs; empty on time-out.
    QString next(int ms = 3000)
    {
        QDeadlineTimer until(ms);
        while (queue.empty() && !until.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            pull();
        }
        if (queue.empty())
            return {};
        QString m = queue.front();
        queue.pop_front();
        return m;
    }
    // The next message whose text starts with the word, skipping others; empty on time-out.
    QString nextOf(const QString &word, int ms = 5000)
    {
        QDeadlineTimer until(ms);
        while (!until.hasExpired()) {
            const QString m = next(int(qMax<qint64>(1, until.remainingTime())));
            if (m.startsWith(word))
                return m;
        }
        return {};
    }
    // Everything that arrives within the quiet time (the event loop runs meanwhile).
    QStringList drain(int ms = 150)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            pull();
        }
        QStringList all(queue.begin(), queue.end());
        queue.clear();
        return all;
    }

    QTcpSocket *socket() const { return conn; }

private:
    void pull()
    {
        if (!conn)
            return;
        const QByteArray bytes = conn->readAll();
        if (bytes.isEmpty())
            return;
        QByteArrayList messages;
        frames.feed(bytes, messages);
        for (const QByteArray &m : messages)
            queue.push_back(cp1252::decode(m));
    }

    QTcpServer server;
    QTcpSocket own;
    QTcpSocket *conn = nullptr;
    framing::FrameBuffer frames;
    std::deque<QString> queue;
};
