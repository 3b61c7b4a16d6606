#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace router {
struct Worker;

// What one opening asked of the router.
struct Request
{
    quint16 port = 0;        // the game port, mapped to the same port outside
    int leaseSeconds = 3600; // renewed at half its time; 0 asks for a mapping without end
    QString description = QStringLiteral("Quillet game");
    // The router's description address. Empty: look for the router on this network (SSDP), which
    // only a player's or an operator's request may cause.
    QString descriptionUrl;
};

// The router's description address from QUILLET_IGD_URL, or empty.
QString descriptionUrlFromEnvironment();

// The line a player or an operator reads when the router did not open the port.
QString refusalNotice(quint16 port);
} // namespace router

// The game port opened on the local router for players outside this network, through UPnP IGD.
// Every exchange with the router runs on a thread of its own, so the caller never waits: open()
// returns at once and the outcome comes back as a signal on the caller's thread. A router without
// UPnP, or one that refuses, is reported once through failed() and nothing more is tried until
// the next open(). The mapping is renewed before its lease ends and removed by close() or when
// the object goes (which waits for the removal, a few seconds at most).
class RouterOpening : public QObject
{
    Q_OBJECT
public:
    enum class State { Closed, Opening, Open, Failed };

    explicit RouterOpening(QObject *parent = nullptr);
    ~RouterOpening() override;

    // Asks the router for the mapping. Does nothing while opening or open.
    void open(const router::Request &request);
    // Removes the mapping (if one was made); closed() follows.
    void close();
    // Removes the mapping and waits for the router's answer, at most `ms`; for the end of a
    // program. True when nothing is left to remove.
    bool closeAndWait(int ms = 5000);

    State state() const { return state_; }
    // Learnt from the router; empty until known.
    QString externalAddress() const { return external; }
    // This machine's address as the router sees it, the address the mapping points to.
    QString lanAddress() const { return lan; }
    quint16 port() const { return request.port; }

signals:
    // The port is open; the external address is empty when the router did not tell it.
    void opened(const QString &externalAddress);
    // Once per open(): the router could not be found or refused; `reason` says which.
    void failed(const QString &reason);
    // The mapping is gone (or there was none).
    void closed();

private:
    void mapped(bool ok, bool renewed, const QString &reason, const QString &externalAddress,
                const QString &lanAddress, int lease);
    void renew();

    std::shared_ptr<router::Worker> worker;
    router::Request request;
    State state_ = State::Closed;
    QString external, lan;
    QTimer renewal;
    quint64 generation = 0; // answers to an earlier open() are ignored
};
