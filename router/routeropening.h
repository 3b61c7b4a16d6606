#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace router {
struct Worker;

// What one opening asked of the router.
struct Request
{
    quint16 port = 0;        // the game port, mapped to the same port outside
    quint16 webPort = 0;     // the web page's port, mapped beside it; 0 for none
    int leaseSeconds = 3600; // renewed at half its time; 0 asks for a mapping without end
    QString description = QStringLiteral("Quillet game");
    // The router's description address. Empty: look for the router on this network (SSDP), which
    // only a player's or an operator's request may cause.
    QString descriptionUrl;
};

// The router's description address from QUILLET_IGD_URL, or empty.
QString descriptionUrlFromEnvironment();
// A lease in seconds from QUILLET_IGD_LEASE (for tests), or 0.
int leaseFromEnvironment();

// The line a player or an operator reads when the router did not open the port.
QString refusalNotice(quint16 port);
// The line a player or an operator reads when the router stopped forwarding the port.
QString lapseNotice(quint16 port);
} // namespace router

// The game port (and the web page's, when asked) opened on the local router for players outside
// this network, through UPnP IGD.
// Every exchange with the router runs on a thread of its own, each request with a deadline of its
// own and an answer of at most 64 KB, so the caller never waits: open() returns at once and the
// outcome comes back as a signal on the caller's thread. A router without UPnP, or one that
// refuses, is reported once through failed() and nothing more is tried until the next open().
// The mapping is renewed before its lease ends; a renewal that does not go through is tried again,
// each time after a longer pause, and when the lease runs out meanwhile lapsed() says so once
// (the external address is then not offered until a renewal goes through and opened() comes
// again). The mapping is removed by close() or when the object goes, which waits a second at most.
class RouterOpening : public QObject
{
    Q_OBJECT
public:
    enum class State { Closed, Opening, Open, Failed, Lapsed };

    explicit RouterOpening(QObject *parent = nullptr);
    ~RouterOpening() override;

    // Asks the router for the mapping. Does nothing while opening, open or lapsed.
    void open(const router::Request &request);
    // Removes the mapping (if one was made); closed() follows.
    void close();
    // Removes the mapping and waits for the router's answer, at most `ms`; for the end of a
    // program. True when nothing is left to remove.
    bool closeAndWait(int ms = 1000);

    State state() const { return state_; }
    // Learnt from the router while the mapping holds; empty until known, and while lapsed.
    QString externalAddress() const { return state_ == State::Open ? external : QString(); }
    // This machine's address as the router sees it, the address the mapping points to.
    QString lanAddress() const { return lan; }
    quint16 port() const { return request.port; }

    // How long one request to the router may take, from connecting to the answer's last byte.
    static constexpr int requestMs = 4000;
    // The pause before the first new try of a renewal that failed; it doubles up to the second.
    static constexpr int firstRetryMs = 1000, lastRetryMs = 300000;

signals:
    // The port is open (again, after a lapse); the external address is empty when the router did
    // not tell a public one.
    void opened(const QString &externalAddress);
    // Once per open(): the router could not be found or refused; `reason` says which.
    void failed(const QString &reason);
    // The lease ran out before a renewal went through; renewals go on being tried.
    void lapsed(const QString &reason);
    // The mapping is gone (or there was none).
    void closed();

private:
    void mapped(bool ok, bool renewed, const QString &reason, const QString &externalAddress,
                const QString &lanAddress, int lease);
    void renew();
    void post(bool renewal);
    // Stops what is under way and asks the thread to remove the mapping within `ms`; ready when done.
    void removeMapping(int ms, const std::function<void(bool)> &done);

    std::shared_ptr<router::Worker> worker;
    router::Request request;
    State state_ = State::Closed;
    QString external, lan, lastReason;
    QTimer renewal, lapse;
    int retryMs = 0;        // the pause before the next try of a failed renewal; 0 after a success
    quint64 generation = 0; // answers to an earlier open() are ignored
};
