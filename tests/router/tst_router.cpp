// The router opening against a stand-in router on 127.0.0.1: the mapping asked for, its renewal
// and removal, a refusal reported once; and quillet-host opening the router only when told.

#include "address/invitation.h"
#include "router/httpanswer.h"
#include "router/igd.h"
#include "router/localaddress.h"
#include "router/routeropening.h"
#include "tests/support/eventloop.h"
#include "tests/support/netsupport.h"
#include "tests/support/standinrouter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>

using testsupport::ServedRouter;
using testsupport::StallWatch;
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

// Why an opening against the stand-in failed; empty when it did not fail within 5 s.
QString failureAgainst(const StandInRouter &stand, quint16 port)
{
    RouterOpening opening;
    QSignalSpy failed(&opening, &RouterOpening::failed);
    opening.open(requestFor(stand, port));
    return failed.wait(5000) ? failed.first().first().toString() : QString();
}

// A router's drip (3 s a byte) or a request's whole deadline (4 s) would hold the caller this long
// and more; a loaded machine's stalls stay well under it. The loop's figures beside a dripping
// router are measured against a floor in bench/router.
constexpr qint64 heldMs = RouterOpening::requestMs / 2;

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
        ServedRouter router;
        const StandInRouter &stand = router.stand;
        router.change([](StandInRouter &r) { r.permanentOnly = true; });
        QElapsedTimer clock;
        {
            RouterOpening opening;
            QSignalSpy opened(&opening, &RouterOpening::opened);
            opening.open(requestFor(stand, 7783));
            QVERIFY(opened.wait(5000));
            clock.start();
        }
        QVERIFY(clock.elapsed() < 4000);
        router.stop();
        const auto adds = stand.of(QStringLiteral("AddPortMapping"));
        QCOMPARE(adds.size(), 2);
        QCOMPARE(adds.first().args.value(QStringLiteral("NewLeaseDuration")), QStringLiteral("3600"));
        QCOMPARE(adds.last().args.value(QStringLiteral("NewLeaseDuration")), QStringLiteral("0"));
        QCOMPARE(stand.of(QStringLiteral("DeletePortMapping")).size(), 1);
    }

    // A router that answers one byte every 3 s, or without end: the caller's loop keeps turning,
    // each request gives up at its deadline, the answer is cut at 64 KB, and the end waits a
    // second at most.
    void slowOrEndlessRouterNeverHoldsTheGame()
    {
        StandInRouter drip;
        drip.dripMs = 3000;
        {
            RouterOpening opening;
            QSignalSpy failed(&opening, &RouterOpening::failed);
            QElapsedTimer clock;
            clock.start();
            const StallWatch watch;
            opening.open(requestFor(drip, 7784));
            QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), 10000);
            QVERIFY2(watch.worst() < heldMs, qPrintable(QString::number(watch.worst())));
            QCOMPARE(failed.size(), 1);
            QVERIFY2(failed.first().first().toString().contains(QLatin1String("in time")),
                     qPrintable(failed.first().first().toString()));
            QVERIFY(clock.elapsed() < RouterOpening::requestMs + heldMs);
        }
        {
            // Going while the request is under way.
            QElapsedTimer clock;
            {
                RouterOpening opening;
                opening.open(requestFor(drip, 7784));
                QTest::qWait(300);
                clock.start();
            }
            QVERIFY2(clock.elapsed() < heldMs, qPrintable(QString::number(clock.elapsed())));
        }
        {
            // A router that turns slow after it mapped the port: the removal is given up after 1 s.
            StandInRouter stand;
            RouterOpening opening;
            QSignalSpy opened(&opening, &RouterOpening::opened);
            opening.open(requestFor(stand, 7785));
            QVERIFY(opened.wait(5000));
            stand.dripMs = 3000;
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!opening.closeAndWait());
            QVERIFY2(clock.elapsed() < heldMs, qPrintable(QString::number(clock.elapsed())));
        }
        StandInRouter endless;
        endless.oversizeBytes = 2000LL * 1024 * 1024;
        const QString why = failureAgainst(endless, 7786);
        QVERIFY2(why.contains(QLatin1String("longer than 64 KB")), qPrintable(why));
    }

    // Only a public IPv4 address goes into an invitation, and only a well-formed answer with its
    // action's response is a success; HTTP answers read whole, in chunks or up to the close.
    void answersAreBelievedOnlyWhenTheyRead()
    {
        for (const char *bad : {"evil.example", "0.0.0.0", "10.1.2.3", "172.16.0.1", "192.168.1.1",
                                "127.0.0.1", "169.254.1.1", "100.64.0.1", "224.0.0.1", "255.255.255.255",
                                "203.0.113.7\nStopped", " 203.0.113.7", "203.000.113.7", "203.0.113", ""})
            QVERIFY2(!router::isPublicIPv4(QString::fromLatin1(bad)), bad);
        for (const char *good : {"203.0.113.7", "8.8.8.8", "100.128.0.1", "172.32.0.1", "223.255.255.254"})
            QVERIFY2(router::isPublicIPv4(QString::fromLatin1(good)), good);

        using router::HttpAnswer;
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
        QCOMPARE(router::readHttpAnswer(head + "hel", false).status, HttpAnswer::Incomplete);
        QCOMPARE(router::readHttpAnswer(head + "hel", true).status, HttpAnswer::Bad);
        QCOMPARE(router::readHttpAnswer(head + "hello!", false).body, QByteArray("hello"));
        const QByteArray chunked =
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nhel\r\n2;x\r\nlo\r\n";
        QCOMPARE(router::readHttpAnswer(chunked, false).status, HttpAnswer::Incomplete);
        QCOMPARE(router::readHttpAnswer(chunked + "0\r\n\r\n", false).body, QByteArray("hello"));
        QCOMPARE(router::readHttpAnswer("HTTP/1.0 500 No\r\n\r\nto the end", true).body,
                 QByteArray("to the end"));
        QCOMPARE(router::readHttpAnswer("SSH-2.0\r\n\r\n", false).status, HttpAnswer::Bad);

        const QString add = QStringLiteral("AddPortMapping");
        const QByteArray fine = "<s:Envelope xmlns:s=\"e\"><s:Body><u:AddPortMappingResponse xmlns:u=\"x\"/>"
                                "</s:Body></s:Envelope>";
        QVERIFY(router::readSoapAnswer(200, fine, add).ok);
        QVERIFY(!router::readSoapAnswer(200, "OK", add).ok);
        QVERIFY(!router::readSoapAnswer(200, QByteArray(fine).replace("</s:Body>", ""), add).ok);
        QVERIFY(!router::readSoapAnswer(500, fine, add).ok);
        QVERIFY(!router::readSoapAnswer(200, QByteArray(fine).replace("AddPortMappingResponse", "Other"), add)
                     .ok);

        // Through the stand-in: a bad external address is left out, a 200 that is not XML fails.
        for (const char *external : {"evil.example", "0.0.0.0", "10.1.2.3", "203.0.113.7\r\nStopped"}) {
            StandInRouter stand;
            stand.externalAddress = QString::fromLatin1(external);
            RouterOpening opening;
            QSignalSpy opened(&opening, &RouterOpening::opened);
            opening.open(requestFor(stand, 7787));
            QVERIFY(opened.wait(5000));
            QCOMPARE(opened.first().first().toString(), QString());
            QCOMPARE(opening.externalAddress(), QString());
        }
        StandInRouter stand;
        stand.addAnswer = "Router opened port";
        const QString why = failureAgainst(stand, 7788);
        QVERIFY2(why.contains(QLatin1String("not a success")), qPrintable(why));
    }

    // A renewal the router refuses is tried again; when the lease runs out meanwhile that is said
    // once and the external address is no longer offered, until a renewal goes through.
    void renewalIsRetriedAndALapseSaidOnce()
    {
        StandInRouter stand;
        RouterOpening opening;
        QSignalSpy opened(&opening, &RouterOpening::opened), lapsed(&opening, &RouterOpening::lapsed),
            failed(&opening, &RouterOpening::failed);
        opening.open(requestFor(stand, 7789, 2));
        QVERIFY(opened.wait(5000));
        stand.refuseCode = 501;
        QVERIFY(lapsed.wait(4000));
        QCOMPARE(opening.state(), RouterOpening::State::Lapsed);
        QCOMPARE(opening.externalAddress(), QString());
        QVERIFY(lapsed.first().first().toString().contains(QLatin1String("501")));
        stand.refuseCode = 0;
        QVERIFY(opened.wait(6000));
        // The first, the refused renewal, and the new try that went through.
        QVERIFY(stand.of(QStringLiteral("AddPortMapping")).size() >= 3);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opening.state(), RouterOpening::State::Open);
        QCOMPARE(opening.externalAddress(), QStringLiteral("203.0.113.7"));
        QCOMPARE(lapsed.size(), 1);
        QCOMPARE(failed.size(), 0);
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

    // The dedicated host: its link and web address at start, the router only with --open-router (the
    // web port mapped beside the game's), the mappings gone after a stop signal, within 1.5 s even
    // when the router has turned to answering a byte every 3 s; the log says the port closed only
    // when the router said so.
    void dedicatedHostOpensTheRouterOnlyWhenTold()
    {
        StandInRouter stand;
        for (const int mode : {0, 1, 2}) {
            const bool open = mode > 0, dripping = mode == 2;
            stand.dripMs = 0;
            stand.requests.clear();
            const quint16 port = freePort();
            quint16 web = freePort();
            while (web == port)
                web = freePort();
            const QString webPort = QString::number(web);
            QProcess host;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QUILLET_IGD_URL"), stand.descriptionUrl());
            env.insert(QStringLiteral("QUILLET_WEB_PORT"), webPort);
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
            QCOMPARE(waitLine(QStringLiteral("Web page: ")),
                     QStringLiteral("Web page: http://%1:%2/").arg(local.host, webPort));
            if (open) {
                QVERIFY(!waitLine(QStringLiteral("Router opened port ")).isEmpty());
                QCOMPARE(waitLine(QStringLiteral("Invitation: ")),
                         QStringLiteral("Invitation: quillet://203.0.113.7:") + QString::number(port));
                QCOMPARE(waitLine(QStringLiteral("Web page: ")),
                         QStringLiteral("Web page: http://203.0.113.7:%1/").arg(webPort));
                QStringList mapped;
                for (const auto &add : stand.of(QStringLiteral("AddPortMapping")))
                    mapped << add.args.value(QStringLiteral("NewExternalPort"));
                QCOMPARE(mapped, (QStringList{QString::number(port), webPort}));
                if (dripping)
                    stand.dripMs = 3000;
            } else {
                QTest::qWait(300);
            }
            QElapsedTimer stopping;
            stopping.start();
            ::kill(pid_t(host.processId()), open ? SIGHUP : SIGTERM);
            QVERIFY(!waitLine(QStringLiteral("Stopped")).isEmpty());
            QVERIFY(host.state() == QProcess::NotRunning || host.waitForFinished(5000));
            QVERIFY2(stopping.elapsed() < 1500, qPrintable(QString::number(stopping.elapsed())));
            QCOMPARE(host.exitCode(), 0);
            if (!open) {
                QCOMPARE(stand.requests.size(), 0);
                QCOMPARE(stand.descriptionReads, 0);
            } else {
                QCOMPARE(lines.contains(QStringLiteral("Router closed port ") + QString::number(port)), !dripping);
                QCOMPARE(lines.filter(QStringLiteral("Router did not confirm closing port ")).size(),
                         dripping ? 1 : 0);
                QCOMPARE(stand.of(QStringLiteral("DeletePortMapping")).size(), 2);
            }
        }
    }
};

QTEST_GUILESS_MAIN(RouterTest)
#include "tst_router.moc"
