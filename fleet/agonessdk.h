#pragma once

#include "fleet/sidecarhttp.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

class QTcpSocket;

// A game server's side of the fleet engine (Agones): its SDK sidecar's REST interface on
// localhost. Every call is asynchronous; the game never waits on one. Calls go out one at a time in
// the order they were made, each on its own connection with a hard deadline and an answer of at
// most 64 KB; redirects are never followed. One the sidecar does not answer, or answers 5xx (503
// while it starts, 500 on a passing fault), is tried again after a growing pause: ready and
// shutdown until they go through, the others up to maxTries times. One it refuses (4xx) is given up
// and reported. Once ready() went through, a health ping goes out at every interval from the event
// loop, so a stalled loop shows as silence, and the game server's state is watched, in bounded
// steps; a shutdown the watch does not show within twice the longest pause is asked for again.
class AgonesSdk : public QObject
{
    Q_OBJECT
public:
    struct Timing
    {
        // Milliseconds between two health pings.
        int healthMs = 2000;
        // The first pause before a call the sidecar did not take is tried again; it doubles
        // up to retryMaxMs.
        int retryMs = 250;
        int retryMaxMs = 5000;
        // Milliseconds one call may take, from its connection to the last byte of its answer.
        int callMs = 5000;
    };
    // Tries of a call other than ready and shutdown before it is given up.
    static constexpr int maxTries = 8;

    // The sidecar's default port when the environment names none.
    static constexpr quint16 defaultPort = 9358;
    // The port AGONES_SDK_HTTP_PORT names: nothing when it is unset, 0 when it is not a port.
    static std::optional<quint16> portFromEnvironment();

    AgonesSdk(quint16 port, const Timing &timing, QObject *parent = nullptr);
    ~AgonesSdk() override;

    // The game port listens: the server may be allocated.
    void ready();
    // Marks the server allocated (players reached it without an allocation).
    void allocate();
    // The server is done: the fleet replaces it.
    void shutdown();
    // A label on the GameServer; the sidecar prefixes its key with "agones.dev/sdk-".
    void setLabel(const QString &key, const QString &value);
    // A counter's count in the GameServer's status.
    void setCounter(const QString &name, qint64 count);

    bool isReady() const { return readyDone; }
    // The GameServer's state as last watched ("Ready", "Allocated", ...); empty before any.
    const QString &state() const { return gsstate; }
    // Health pings sent so far.
    int healthPings() const { return pings; }

signals:
    // ready() went through.
    void becameReady();
    // The watched state changed.
    void stateChanged(const QString &state);
    // A call the sidecar refused or never took, for the log.
    void refused(const QString &what);
    // A shutdown the sidecar took but the watch never showed is asked for again.
    void shutdownRepeated();

private:
    struct Call
    {
        QByteArray verb;
        QString path;
        QByteArray body;
        // Calls that stand for a value (a label's, a counter's) replace a waiting one of the same key.
        QString key;
        int tries = 0;
    };
    void enqueue(Call call);
    void sendNext();
    void finished(int code);
    void ping();
    void watch();
    void watchStep();
    void watchEnded(bool failed);
    // The pause after p: the first one, then twice the last up to the longest.
    int longer(int p) const;

    quint16 port;
    Timing timing;
    QList<Call> calls;
    QPointer<fleet::SidecarCall> inflight;
    QPointer<fleet::SidecarCall> pinging;
    QTimer retry;
    QTimer health;
    // A shutdown the sidecar took, until the watch shows it.
    QTimer confirm;
    QTcpSocket *watching = nullptr;
    fleet::WatchDecoder decoder;
    bool stepping = false;
    int pause = 0;
    int watchpause = 0;
    bool readyDone = false;
    int pings = 0;
    QString gsstate;
};
