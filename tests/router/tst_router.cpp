// The router opening against a stand-in router on 127.0.0.1: the mapping asked for, its renewal
// and removal, a refusal reported once; and quillet-host opening the router only when told.

#include "protocol/invitation.h"
#include "router/localaddress.h"
#include "router/routeropening.h"
#include "tests/support/netsupport.h"
#include "tests/support/standinrouter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>

using testsupport::StandInRouter;

namespace {

router::Request requestFor(const StandInRouter &r, quint16 port, int lease = 3600)
{
    router::Request q;
    q.port = port;
    q.leaseSeconds = lease;
    q.descriptionUrl = r.descriptionUrl();
    return q;
}

} // namespace

class RouterTest : public QObject
{
    Q_OBJECT

private slots:
    void mapsRenewsAndRemoves()
    {
        StandInRouter stand;
        RouterOpening opening;
        QSignalSpy opened(&opening, &RouterOpening::opened), closed(&opening, &RouterOpening::closed),
            failed(&opening, &RouterOpening::failed);
        router::Request q = requestFor(stand, 7781, 2);
        q.description = QStringLiteral("Quillet game: <Ann & Bob>");
        opening.open(q);
        QCOMPARE(opening.state(), RouterOpening::State::Opening);
        QVERIFY(opened.wait(5000));
        QCOMPARE(opened.first().first().toString(), QStringLiteral("203.0.113.7"));
        QCOMPARE(opening.externalAddress(), QStringLiteral("203.0.113.7"));
        QCOMPARE(opening.lanAddress(), QStringLiteral("127.0.0.1"));
        const auto adds = stand.of(QStringLiteral("AddPortMapping"));
        QCOMPARE(adds.size(), 1);
        const auto &a = adds.first().args;
        QCOMPARE(a.value(QStringLiteral("NewExternalPort")), QStringLiteral("7781"));
        QCOMPARE(a.value(QStringLiteral("NewInternalPort")), QStringLiteral("7781"));
        QCOMPARE(a.value(QStringLiteral("NewProtocol")), QStringLiteral("TCP"));
        QCOMPARE(a.value(QStringLiteral("NewLeaseDuration")), QStringLiteral("2"));
        QCOMPARE(a.value(QStringLiteral("NewInternalClient")), QStringLiteral("127.0.0.1"));
        // A name cannot break the router's XML.
        QCOMPARE(a.value(QStringLiteral("NewPortMappingDescription")),
                 QStringLiteral("Quillet game: ?Ann ? Bob?"));
        // Renewed before the two seconds run out, without a second report.
        QTRY_COMPARE_WITH_TIMEOUT(stand.of(QStringLiteral("AddPortMapping")).size(), 2, 4000);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(stand.descriptionReads, 1);

        opening.close();
        QVERIFY(closed.wait(5000));
        const auto deletes = stand.of(QStringLiteral("DeletePortMapping"));
        QCOMPARE(deletes.size(), 1);
        QCOMPARE(deletes.first().args.value(QStringLiteral("NewExternalPort")), QStringLiteral("7781"));
        QCOMPARE(deletes.first().args.value(QStringLiteral("NewProtocol")), QStringLiteral("TCP"));
        // No renewal after the end.
        QTest::qWait(1500);
        QCOMPARE(stand.of(QStringLiteral("AddPortMapping")).size(), 2);
        QCOMPARE(failed.size(), 0);
    }

    void refusalOrNoRouterIsReportedOnce()
    {
        StandInRouter stand;
        stand.refuseCode = 718;
        RouterOpening opening;
        QSignalSpy failed(&opening, &RouterOpening::failed), opened(&opening, &RouterOpening::opened);
        opening.open(requestFor(stand, 7782, 1));
        QVERIFY(failed.wait(5000));
        QVERIFY2(failed.first().first().toString().contains(QLatin1String("718")),
                 qPrintable(failed.first().first().toString()));
        QCOMPARE(opening.state(), RouterOpening::State::Failed);
        QTest::qWait(1500);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(opened.size(), 0);
        QCOMPARE(stand.of(QStringLiteral("AddPortMapping")).size(), 1);
        // Nothing was mapped, so nothing is removed.
        QVERIFY(opening.closeAndWait(3000));
        QCOMPARE(stand.of(QStringLiteral("DeletePortMapping")).size(), 0);

        // Nobody answers at the description address.
        RouterOpening lost;
        QSignalSpy lostFailed(&lost, &RouterOpening::failed);
        router::Request q;
        q.port = 7782;
        q.descriptionUrl = QStringLiteral("http://127.0.0.1:%1/rootDesc.xml").arg(freePort());
        lost.open(q);
        QVERIFY(lostFailed.wait(10000));
        QVERIFY(lostFailed.first().first().toString().contains(QLatin1String("no router")));
        QTest::qWait(200);
        QCOMPARE(lostFailed.size(), 1);
        QCOMPARE(
            router::refusalNotice(7772),
            QStringLiteral("Your router did not open port 7772: players outside your network need you to "
                           "forward TCP port 7772."));
    }

    void permanentOnlyRouterAndRemovalWhenDestroyed()
    {
        // The destructor waits for the router's answer, so the stand-in serves from a thread of
        // its own here; its records are read once that thread has stopped.
        StandInRouter stand;
        stand.permanentOnly = true;
        QThread serving;
        stand.moveToThread(&serving);
        serving.start();
        QElapsedTimer clock;
        {
            RouterOpening opening;
            QSignalSpy opened(&opening, &RouterOpening::opened);
            opening.open(requestFor(stand, 7783));
            QVERIFY(opened.wait(5000));
            clock.start();
        }
        QVERIFY(clock.elapsed() < 4000);
        serving.quit();
        serving.wait();
        const auto adds = stand.of(QStringLiteral("AddPortMapping"));
        QCOMPARE(adds.size(), 2);
        QCOMPARE(adds.first().args.value(QStringLiteral("NewLeaseDuration")), QStringLiteral("3600"));
        QCOMPARE(adds.last().args.value(QStringLiteral("NewLeaseDuration")), QStringLiteral("0"));
        QCOMPARE(stand.of(QStringLiteral("DeletePortMapping")).size(), 1);
    }

    void localAddressPrefersThePrivateNetwork()
    {
        const auto a = [](const char *s) { return QHostAddress(QString::fromLatin1(s)); };
        QCOMPARE(router::chooseLocalAddress(
                     {a("127.0.0.1"), a("169.254.3.4"), a("fe80::1"), a("198.51.100.2"), a("192.168.1.20")}),
                 a("192.168.1.20"));
        QCOMPARE(router::chooseLocalAddress({a("127.0.0.1"), a("172.20.0.5")}), a("172.20.0.5"));
        QCOMPARE(router::chooseLocalAddress({a("172.32.0.5"), a("10.1.2.3")}), a("10.1.2.3"));
        QCOMPARE(router::chooseLocalAddress({a("::1"), a("198.51.100.2")}), a("198.51.100.2"));
        QCOMPARE(router::chooseLocalAddress({}), a("127.0.0.1"));
    }

    // The dedicated host: its link at start, the router only with --open-router, the mapping gone
    // after a stop signal.
    void dedicatedHostOpensTheRouterOnlyWhenTold()
    {
        StandInRouter stand;
        for (const bool open : {false, true}) {
            const quint16 port = freePort();
            QProcess host;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QUILLET_IGD_URL"), stand.descriptionUrl());
            host.setProcessEnvironment(env);
            QStringList args{QStringLiteral("--port"), QString::number(port),
                             QStringLiteral("--no-announce")};
            if (open)
                args << QStringLiteral("--open-router");
            host.start(qEnvironmentVariable("QUILLET_HOST_BINARY"), args);
            QStringList lines;
            const auto waitLine = [&](const QString &start) {
                QDeadlineTimer until(10000);
                for (;;) {
                    // Lines still buffered are read even when the host has already ended.
                    const bool ended = host.state() == QProcess::NotRunning;
                    while (host.canReadLine()) {
                        lines << QString::fromUtf8(host.readLine()).trimmed();
                        if (lines.last().startsWith(start))
                            return lines.last();
                    }
                    if (ended || until.hasExpired())
                        return QString();
                    host.waitForReadyRead(20);
                    QCoreApplication::processEvents();
                }
            };
            const QString first = waitLine(QStringLiteral("Invitation: "));
            const invitation::Link local = invitation::parse(first.mid(12));
            QVERIFY2(local.ok() && local.port == port, qPrintable(first + local.error));
            QVERIFY(!QHostAddress(local.host).isNull());
            if (open) {
                QVERIFY(!waitLine(QStringLiteral("Router opened port ")).isEmpty());
                QCOMPARE(waitLine(QStringLiteral("Invitation: ")),
                         QStringLiteral("Invitation: quillet://203.0.113.7:") + QString::number(port));
                QCOMPARE(stand.of(QStringLiteral("AddPortMapping"))
                             .last()
                             .args.value(QStringLiteral("NewExternalPort")),
                         QString::number(port));
            } else {
                QTest::qWait(300);
            }
            ::kill(pid_t(host.processId()), open ? SIGHUP : SIGTERM);
            QVERIFY(!waitLine(QStringLiteral("Stopped")).isEmpty());
            QVERIFY(host.state() == QProcess::NotRunning || host.waitForFinished(5000));
            QCOMPARE(host.exitCode(), 0);
            if (!open) {
                QCOMPARE(stand.requests.size(), 0);
                QCOMPARE(stand.descriptionReads, 0);
            } else {
                QVERIFY(lines.contains(QStringLiteral("Router closed port ") + QString::number(port)));
                QCOMPARE(stand.of(QStringLiteral("DeletePortMapping")).size(), 1);
            }
        }
    }
};

QTEST_GUILESS_MAIN(RouterTest)
#include "tst_router.moc"
