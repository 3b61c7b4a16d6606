#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QTcpSocket;

namespace fleet {

// The most the sidecar may send in answer to one call, head included, and the longest line of
// its watch stream; anything longer is not the sidecar's and is cut off.
inline constexpr qsizetype maxAnswer = 64 * 1024;

// The watch stream's answer as it comes: its head, then a body in chunks (or up to the close), cut
// into lines. No socket: the caller feeds what arrived, in pieces of any size, and gets the
// complete lines. Memory stays within maxAnswer whatever is fed.
class WatchDecoder
{
public:
    // Takes the next bytes; appends each complete non-blank line to `lines`. False once the answer
    // is not a 2xx stream of lines no longer than maxAnswer (and for every call after that).
    bool feed(QByteArrayView bytes, QList<QByteArray> &lines);
    // The status code, once the head is in.
    int code() const { return status; }

private:
    bool fail();
    bool head();
    bool body(QByteArrayView bytes, QList<QByteArray> &lines);
    bool take(QByteArrayView data, QList<QByteArray> &lines);

    // Over: the last chunk came, the close follows; Broken: not the sidecar's stream.
    enum Phase { Head, Size, Data, DataEnd, Plain, Over, Broken };
    Phase phase = Head;
    int status = 0;
    // The head, or a chunk's size line, so far.
    QByteArray pending;
    // The line so far.
    QByteArray line;
    qint64 left = 0;
};

// One call to the sidecar on 127.0.0.1:port over a connection of its own, with a hard deadline:
// `done` gets the status code and body, or 0 when there was no whole answer of at most maxAnswer
// in time (refused connection, deadline, too long, not HTTP). A redirect is an answer like any
// other: it is never followed. The call ends itself once done; deleting its parent ends it at once.
class SidecarCall : public QObject
{
public:
    using Done = std::function<void(int code, const QByteArray &body)>;
    SidecarCall(quint16 port, const QByteArray &verb, const QString &path, const QByteArray &body,
                int deadlineMs, Done done, QObject *parent);

private:
    void read();
    void finish(int code, const QByteArray &body);

    QTcpSocket *socket;
    QByteArray received;
    Done done;
};

// The request's bytes: one call, the connection closed after its answer.
QByteArray request(quint16 port, const QByteArray &verb, const QString &path, const QByteArray &body);

} // namespace fleet
