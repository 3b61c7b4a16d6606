#include "quillet-host/fleetmember.h"

#include "fleet/agonessdk.h"
#include "host/tserver.h"

FleetMember::FleetMember(TServer &server, AgonesSdk &agones, int idleMs, QObject *parent)
    : QObject(parent), host(server), sdk(agones)
{
    idle.setSingleShot(true);
    idle.setInterval(idleMs);
    connect(&idle, &QTimer::timeout, this, [this] {
        down = true;
        emit noted(QStringLiteral("Fleet: the table was empty for ") +
                   QString::number(idle.interval() / 1000) + QStringLiteral(" s, shutting down"));
        sdk.shutdown();
    });
    connect(&sdk, &AgonesSdk::becameReady, this, [this] { emit noted(QStringLiteral("Fleet: ready")); });
    connect(&sdk, &AgonesSdk::refused, this, [this](const QString &what) {
        emit noted(QStringLiteral("Fleet: the sidecar refused ") + what);
    });
    connect(&sdk, &AgonesSdk::shutdownRepeated, this, [this] {
        emit noted(QStringLiteral("Fleet: the sidecar took the shutdown but the GameServer did not shut down; "
                                  "asking again"));
    });
    connect(&sdk, &AgonesSdk::stateChanged, this, [this](const QString &state) {
        emit noted(QStringLiteral("Fleet: ") + state);
        review();
    });
    // Logins, departures, game starts and ends are all said to the players, some before the
    // player table has them: the table is looked at once the event is handled.
    connect(&host, &TServer::said, this, &FleetMember::review, Qt::QueuedConnection);
}

void FleetMember::listening()
{
    sdk.ready();
    review();
}

void FleetMember::review()
{
    if (down)
        return;
    const HostGame &game = host.game();
    int seated = 0;
    int present = 0;
    for (int slot = 1; slot <= HostGame::maxslot; ++slot)
        if (game.inuse(slot) && game.player(slot).loggedin) {
            ++present;
            if (game.isseat(slot))
                ++seated;
        }
    const bool allocated = allocating || sdk.state() == QLatin1String("Allocated");
    // Players who reached a Ready server by its address: the fleet must not hand it out again.
    if (present > 0 && !allocated) {
        allocating = true;
        sdk.allocate();
    }
    if (seated != seatcount) {
        seatcount = seated;
        sdk.setCounter(QString::fromLatin1(counter), seated);
    }
    const QString now = game.running() ? QStringLiteral("playing") : QStringLiteral("waiting");
    if (now != label) {
        label = now;
        sdk.setLabel(QStringLiteral("state"), label);
    }
    // Spectators keep the table alive too; a Ready server waits for its allocation however long.
    if (present == 0 && (allocating || allocated)) {
        if (!idle.isActive())
            idle.start();
    } else {
        idle.stop();
    }
}
