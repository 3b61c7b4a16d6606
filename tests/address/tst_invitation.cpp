// Invitation links: built from an address and a port, and read back; text that is not exactly a
// host and a port gives a message and never an address.

#include "address/invitation.h"

#include <QtTest>

class InvitationTest : public QObject
{
    Q_OBJECT

private slots:
    void buildsAndReadsBack()
    {
        QCOMPARE(invitation::build(QStringLiteral("192.168.1.20"), 7772),
                 QStringLiteral("quillet://192.168.1.20:7772"));
        QCOMPARE(invitation::build(QStringLiteral("2001:db8::7"), 7772),
                 QStringLiteral("quillet://[2001:db8::7]:7772"));
        QCOMPARE(invitation::webAddress(QStringLiteral("2001:db8::7"), 7774),
                 QStringLiteral("http://[2001:db8::7]:7774/"));
        for (const char *host : {"192.168.1.20", "2001:db8::7", "games.example.org", "::1"}) {
            const invitation::Link l = invitation::parse(invitation::build(QString::fromLatin1(host), 40001));
            QVERIFY2(l.ok(), qPrintable(l.error));
            QCOMPARE(l.host, QString::fromLatin1(host));
            QCOMPARE(l.port, quint16(40001));
        }
    }

    void readsWhatPeopleSend_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("plain") << "quillet://127.0.0.1:7772"
                               << "127.0.0.1" << 7772;
        QTest::newRow("blanks, case, slash") << "  QUILLET://Host-1.example.org:80/ \n"
                                             << "Host-1.example.org" << 80;
        QTest::newRow("no port") << "quillet://pc"
                                 << "pc" << 7772;
        QTest::newRow("IPv6") << "quillet://[fe80::1:2]:1"
                              << "fe80::1:2" << 1;
        QTest::newRow("IPv6, no port") << "quillet://[::1]"
                                       << "::1" << 7772;
        QTest::newRow("top port") << "quillet://10.0.0.1:65535"
                                  << "10.0.0.1" << 65535;
    }
    void readsWhatPeopleSend()
    {
        QFETCH(QString, text);
        const invitation::Link l = invitation::parse(text);
        QVERIFY2(l.ok(), qPrintable(l.error));
        QTEST(l.host, "host");
        QTEST(int(l.port), "port");
        QVERIFY(invitation::isLink(text));
    }

    void refusesMalformedLinks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("says");
        QTest::newRow("other scheme") << "http://h:7772"
                                      << "begins with quillet://";
        QTest::newRow("one slash") << "quillet:/h:7772"
                                   << "begins with quillet://";
        QTest::newRow("bare address") << "127.0.0.1:7772"
                                      << "begins with quillet://";
        QTest::newRow("no host") << "quillet://:7772"
                                 << "no host";
        QTest::newRow("nothing") << "quillet://"
                                 << "no host";
        QTest::newRow("port 0") << "quillet://h:0"
                                << "not a port";
        QTest::newRow("port too big") << "quillet://h:65536"
                                      << "not a port";
        QTest::newRow("port with text") << "quillet://h:77x"
                                        << "not a port";
        QTest::newRow("signed port") << "quillet://h:+77"
                                     << "not a port";
        QTest::newRow("empty port") << "quillet://h:"
                                    << "port is missing";
        QTest::newRow("path") << "quillet://h:7772/join"
                              << "more than an address";
        QTest::newRow("query") << "quillet://h:7772?name=x"
                               << "more than an address";
        QTest::newRow("fragment") << "quillet://h:7772#x"
                                  << "more than an address";
        QTest::newRow("user") << "quillet://eve@h:7772"
                              << "no user name";
        QTest::newRow("IPv6 without brackets") << "quillet://::1:7772"
                                               << "in brackets";
        QTest::newRow("open bracket") << "quillet://[::1:7772"
                                      << "closing";
        QTest::newRow("not IPv6") << "quillet://[1.2.3.4]:7772"
                                  << "not an IPv6";
        QTest::newRow("junk after bracket") << "quillet://[::1]x:7772"
                                            << "more than an address";
        QTest::newRow("octal-looking") << "quillet://010.0.0.1:7772"
                                       << "not an address";
        QTest::newRow("short form") << "quillet://127.1:7772"
                                    << "not an address";
        QTest::newRow("hex form") << "quillet://0x7f.0.0.1:7772"
                                  << "not an address";
        QTest::newRow("number too big") << "quillet://256.1.1.1:7772"
                                        << "not an address";
        QTest::newRow("blank in host") << "quillet://my pc:7772"
                                       << "not a host name";
        QTest::newRow("escape") << "quillet://h%2eevil:7772"
                                << "not a host name";
        QTest::newRow("control") << QStringLiteral("quillet://h\x01:7772") << "not a host name";
        QTest::newRow("dot dot") << "quillet://a..b:7772"
                                 << "not a host name";
        QTest::newRow("over-long") << QStringLiteral("quillet://") + QString(400, QLatin1Char('a'))
                                   << "too long";
    }
    void refusesMalformedLinks()
    {
        QFETCH(QString, text);
        QFETCH(QString, says);
        const invitation::Link l = invitation::parse(text);
        QVERIFY2(l.error.contains(says), qPrintable(l.error));
        QVERIFY(l.host.isEmpty());
        QCOMPARE(l.port, quint16(0));
        QVERIFY(l.error.size() < 160);
    }
};

QTEST_APPLESS_MAIN(InvitationTest)
#include "tst_invitation.moc"
