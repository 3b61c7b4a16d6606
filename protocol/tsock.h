#pragma once

#include "protocol/framing.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

// Event-driven, non-blocking TCP socket. Readiness arrives through notifiers on the UI thread and
// is turned into the events below, one at a time.
class TSock : public QObject
{
    Q_OBJECT
public:
    enum TSocketInfo { siLookup = 0, siConnect, siClose, siListen, siReceive, siSend, siAccept, siError };

    using TNotifyEvent = std::function<void(TSock *sender)>;
    using TNotifyInfoEvent = std::function<void(TSock *sender, TSocketInfo info, const QString &msg)>;
    using TNotifyReadEvent = std::function<void(TSock *sender, qsizetype count)>;

    explicit TSock(QObject *parent = nullptr);
    ~TSock() override;

    // Properties as the windows set them.
    QString HostName;
    QString PortName;
    bool Blocking = false;
    bool AutoAccept = false;
    int BlockingTimeout = 0;
    int Tag = 0;

    // Events; each may be unassigned.
    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyInfoEvent OnInfo;
    TNotifyReadEvent OnRead;
    TNotifyEvent OnWrite;
    TNotifyEvent OnAccept;

    // Resolves HostName and PortName and starts connecting; the result comes later as events.
    bool Open();
    // Closes the system socket; reports "Socket Closed" unless it was listening.
    bool Close();
    // Queues the bytes and hands the system as much as it takes now.
    void Send(const QByteArray &bytes);
    // The whole input buffer, emptied.
    QByteArray Receive();
    // Takes one pending connection into a new socket owned by this listener.
    bool Accept(TSock *&out);
    // Starting to listen; the game never stops a listener.
    void setListen(bool on);

    bool Listen() const { return listening; }
    bool Connected() const { return connected; }
    bool HasHandle() const { return fd >= 0; }
    // A number that no other connection of this process shares.
    quint64 serial() const { return serialNo; }
    qsizetype pendingOutput() const { return output.size(); }

    // Bytes after the last end marker, waiting for the rest of their message.
    framing::FrameBuffer reassembly;

    // A peer that leaves more than this unread in our output buffer is closed.
    static constexpr qsizetype maxOutput = 8 * 1024 * 1024;

private:
    void info(TSocketInfo kind, const QString &msg);
    void watch(bool forListening);
    void unwatch();
    void readable();
    void writable();
    void finishConnect(int err);
    int pendingError() const;
    void pushOutput();
    void dropPeer(int err);
    void configureConnection();

    int fd = -1;
    bool connected = false;
    bool listening = false;
    bool connecting = false;
    bool doomed = false;
    QByteArray input;
    QByteArray output;
    QSocketNotifier *readNotifier = nullptr;
    QSocketNotifier *writeNotifier = nullptr;
    quint64 serialNo;
};

namespace sockets {
// "Lookup" of a host: a first digit means a dotted address; names are resolved once per process.
// Raises ESockException "Host Lookup - Could Not Find Host Entry".
quint32 lookupHost(const QString &host);
// Decimal port, or a tcp service name; raises "Port Lookup - Could Not Find Service Entry".
quint16 lookupPort(const QString &port);
} // namespace sockets
