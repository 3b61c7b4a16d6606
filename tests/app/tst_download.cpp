// The lobby download window against a small HTTP server on loopback, with a stand-in installer.
#include "platform/errors.h"
#include "windows/downloadwindow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString installerName = u"orvanelobby-setup.run"_qs;

// Answers by the first folder of the path: /files/ the installer, /moved/ a redirect to it,
// /text/ a file that is no program, /missing/ a 404, /slow/ 500 bytes of a long body and then
// nothing; the answers in `raw` are sent as they are, and the connection closed.
class TinyHttp : public QObject
{
public:
    QByteArray installer;
    QList<QByteArray> requests;
    QHash<QByteArray, QByteArray> raw;

    TinyHttp()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
        });
    }
    QString url(const QString &folder) const
    {
        return u"http://127.0.0.1:%1/%2/"_qs.arg(server.serverPort()).arg(folder) + installerName;
    }

private:
    void read(QTcpSocket *s)
    {
        QByteArray &buf = pending[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n"))
            return;
        requests << buf;
        const QByteArray path = buf.split(' ').value(1);
        buf.clear();
        QByteArray head, body;
        const QByteArray folder = path.split('/').value(1);
        if (raw.contains(folder)) {
            s->write(raw[folder]);
            s->disconnectFromHost();
            return;
        }
        if (path.startsWith("/files/")) {
            head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
            body = installer;
        } else if (path.startsWith("/moved/")) {
            head = "HTTP/1.1 302 Found\r\nLocation: /files/" + installerName.toLatin1() + "\r\n";
        } else if (path.startsWith("/text/")) {
            head = "HTTP/1.1 200 OK\r\n";
            body = QByteArray(1500, 't');
        } else if (path.startsWith("/slow/")) {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(500, 'x'));
            return;
        } else {
            head = "HTTP/1.1 404 Not Found\r\n";
            body = "no such file";
        }
        s->write(head + "Content-Length: " + QByteArray::number(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> pending;
};

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TinyHttp http;
    QStringList boxes;

    static QByteArray sha256(const QByteArray &data)
    {
        return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    }

    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString argsFile() const { return home.filePath(u"installer-args"_qs); }
    // Nothing but what a test put there itself: no downloaded or half-written file.
    QStringList leftovers() const
    {
        return QDir(home.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase()
    {
        errorbox::setHook([this](const QString &t) { boxes << t; });
        // A stand-in installer: records its parameters next to itself. 1500 bytes in all.
        QByteArray script = "#!/bin/sh\nprintf '%s ' \"$@\" > \"$(dirname \"$0\")/installer-args\"\n";
        script += '#' + QByteArray(1500 - script.size() - 2, '-') + '\n';
        QCOMPARE(script.size(), 1500);
        http.installer = script;
        http.raw["nocontent"] = "HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n";
        http.raw["blanklines"] = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n\r\n\r\n\r\n\r\n";
        http.raw["badchunk"] = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n\r\n";
        http.raw["statusonly"] = "HTTP/1.1 200 OK\r\n";
        http.raw["cutshort"] = "HTTP/1.1 200 OK\r\nContent-Length: 1500\r\n\r\n" + script.left(700);
    }
    void init()
    {
        boxes.clear();
        http.requests.clear();
        QDir(home.path()).removeRecursively();
        QDir().mkpath(home.path());
        qputenv("QUILLET_HOME", home.path().toLocal8Bit());
        qputenv("QUILLET_INSTALLER_SHA256", sha256(http.installer));
    }

    void completedDownloadStartsTheInstallerAndEndsTheGame_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("loading"); // the redirect's header lines count as well
        QTest::newRow("direct") << u"files"_qs << u"Loading...."_qs;
        QTest::newRow("redirected") << u"moved"_qs << u"Loading........"_qs;
    }
    void completedDownloadStartsTheInstallerAndEndsTheGame()
    {
        QFETCH(QString, folder);
        QFETCH(QString, loading);
        qputenv("QUILLET_INSTALLER_URL", http.url(folder).toLatin1());
        Tdownload w;
        QSignalSpy closing(&w, &Tdownload::closeGame);
        QString atBodyStart; // one full stop per header line, status line included
        connect(w.installerGet, &HttpGet::docBegin, this, [&] { atBodyStart = w.infolabel->text(); });
        w.getbutton->click();
        QVERIFY(!w.getbutton->isEnabled());
        QVERIFY(w.abortbutton->isEnabled());
        QCOMPARE(w.state(), int(Tdownload::downloading));
        QVERIFY(closing.wait(5000));
        QCOMPARE(atBodyStart, loading);
        QCOMPARE(w.infolabel->text(), u"Received 1500 bytes"_qs);
        QCOMPARE(w.infolabel3->text(), u"Installing"_qs);
        QVERIFY(w.getbutton->isEnabled());
        QVERIFY(!w.abortbutton->isEnabled());
        QCOMPARE(boxes, QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(contents(argsFile()), QByteArray("/SP- /silent /noicons "), 5000);
        QCOMPARE(leftovers(), QStringList({u"installer-args"_qs, installerName}));
        const QByteArray request = http.requests.constFirst();
        QVERIFY(request.startsWith(QByteArray("GET /" + folder.toLatin1() + "/")));
        QVERIFY(request.contains("User-Agent: Mozilla/3.0 (compatible)\r\n"));
        QVERIFY(request.contains("\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"));
    }

    void failedDownloadLeavesNoFileAndCanStartAgain_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("status 404") << http.url(u"missing"_qs);
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const quint16 port = closed.serverPort();
        closed.close();
        QTest::newRow("connection refused") << u"http://127.0.0.1:%1/x/"_qs.arg(port) + installerName;
    }
    void failedDownloadLeavesNoFileAndCanStartAgain()
    {
        QFETCH(QString, url);
        qputenv("QUILLET_INSTALLER_URL", url.toLatin1());
        Tdownload w;
        QSignalSpy closing(&w, &Tdownload::closeGame);
        for (int attempt = 1; attempt <= 2; ++attempt) {
            w.getbutton->click();
            QCOMPARE(w.state(), int(Tdownload::downloading));
            QTRY_VERIFY_WITH_TIMEOUT(w.getbutton->isEnabled(), 5000);
            QCOMPARE(w.infolabel->text(), u"Download Aborted"_qs);
            // The error page is no part of the installer: nothing says it is coming.
            QCOMPARE(w.infolabel3->text(), u"Download Aborted"_qs);
            QCOMPARE(w.state(), int(Tdownload::failed));
            QVERIFY(!w.abortbutton->isEnabled());
            QCOMPARE(leftovers(), QStringList());
        }
        QCOMPARE(closing.count(), 0);
        QCOMPARE(boxes, QStringList());
    }

    void stopDownloadEndsItWithoutInstalling()
    {
        qputenv("QUILLET_INSTALLER_URL", http.url(u"slow"_qs).toLatin1());
        Tdownload w;
        QSignalSpy closing(&w, &Tdownload::closeGame);
        w.getbutton->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.infolabel->text(), u"500 bytes"_qs, 5000);
        QCOMPARE(w.infolabel3->text(), u"Downloading: "_qs + installerName);
        w.abortbutton->click();
        QCOMPARE(w.infolabel->text(), u"Download Aborted"_qs);
        QCOMPARE(w.infolabel3->text(), u"Download Aborted"_qs);
        QCOMPARE(w.state(), int(Tdownload::failed));
        QVERIFY(w.getbutton->isEnabled());
        QVERIFY(!w.abortbutton->isEnabled());
        QTest::qWait(100);
        QCOMPARE(closing.count(), 0);
        QCOMPARE(leftovers(), QStringList());
    }

    void installerThatWontStartKeepsTheGame()
    {
        qputenv("QUILLET_INSTALLER_URL", http.url(u"text"_qs).toLatin1());
        qputenv("QUILLET_INSTALLER_SHA256", sha256(QByteArray(1500, 't')));
        Tdownload w;
        QSignalSpy closing(&w, &Tdownload::closeGame);
        w.getbutton->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.messageBox, 5000);
        QCOMPARE(w.messageBox->text(), u"An Error has Occurred."_qs);
        QCOMPARE(w.infolabel->text(), u"Received 1500 bytes"_qs);
        QCOMPARE(closing.count(), 0);
    }

    // Nothing runs that is not the expected installer: an answer without a body, a body the
    // transfer reports broken, or one with another digest ends as a failure and leaves no file.
    void onlyTheExpectedInstallerIsKeptAndRun_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("told"); // the message box, if any
        QTest::newRow("204 no content") << u"nocontent"_qs << QString();
        QTest::newRow("chunked blank lines") << u"blanklines"_qs << QString();
        QTest::newRow("bad chunk size") << u"badchunk"_qs << QString();
        QTest::newRow("status line only") << u"statusonly"_qs << QString();
        QTest::newRow("cut short") << u"cutshort"_qs << QString();
        QTest::newRow("another file")
            << u"text"_qs << u"The download did not match the expected installer and was deleted."_qs;
    }
    void onlyTheExpectedInstallerIsKeptAndRun()
    {
        QFETCH(QString, folder);
        QFETCH(QString, told);
        qputenv("QUILLET_INSTALLER_URL", http.url(folder).toLatin1());
        Tdownload w;
        QSignalSpy closing(&w, &Tdownload::closeGame);
        w.getbutton->click();
        QCOMPARE(w.state(), int(Tdownload::downloading));
        QTRY_VERIFY_WITH_TIMEOUT(w.getbutton->isEnabled(), 5000);
        QCOMPARE(w.state(), int(Tdownload::failed));
        QCOMPARE(w.infolabel->text(), u"Download Aborted"_qs);
        QCOMPARE(w.infolabel3->text(), u"Download Aborted"_qs);
        QCOMPARE(w.messageBox ? w.messageBox->text() : QString(), told);
        QTest::qWait(100);
        QCOMPARE(closing.count(), 0);
        QCOMPARE(leftovers(), QStringList());
        QCOMPARE(boxes, QStringList());
    }

    // Without an address and its digest nothing can be downloaded; the other two ways stay.
    void noInstallerOfferedWithoutAddressAndDigest_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("neither") << QByteArray() << QByteArray();
        QTest::newRow("no digest") << QByteArray("files") << QByteArray();
        QTest::newRow("digest not hex") << QByteArray("files") << QByteArray(64, 'g');
        QTest::newRow("digest too short") << QByteArray("files") << QByteArray(63, 'a');
    }
    void noInstallerOfferedWithoutAddressAndDigest()
    {
        QFETCH(QByteArray, url);
        QFETCH(QByteArray, digest);
        if (url.isEmpty())
            qunsetenv("QUILLET_INSTALLER_URL");
        else
            qputenv("QUILLET_INSTALLER_URL", http.url(QString::fromLatin1(url)).toLatin1());
        if (digest.isEmpty())
            qunsetenv("QUILLET_INSTALLER_SHA256");
        else
            qputenv("QUILLET_INSTALLER_SHA256", digest);
        Tdownload w;
        QVERIFY(!w.installerOffered());
        QVERIFY(!w.getbutton->isEnabled());
        QCOMPARE(w.infolabel->text(), u"No lobby installer is offered for this system."_qs);
        w.getbuttonClick();
        QTest::qWait(50);
        QCOMPARE(w.state(), int(Tdownload::notStarted));
        QCOMPARE(http.requests.size(), 0);
        QVERIFY(w.playSoloButton->isEnabled());
        QVERIFY(w.playWithOthersButton->isEnabled());
    }

    void uncreatableFileChangesNothing()
    {
        qputenv("QUILLET_INSTALLER_URL", http.url(u"files"_qs).toLatin1());
        qputenv("QUILLET_HOME", home.filePath(u"no/such/folder"_qs).toLocal8Bit());
        Tdownload w;
        w.getbutton->click();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].startsWith(u"Cannot create file"_qs));
        QCOMPARE(w.state(), int(Tdownload::notStarted));
        QVERIFY(w.getbutton->isEnabled());
        QCOMPARE(w.infolabel->text(), QString());
        QTest::qWait(50);
        QCOMPARE(http.requests.size(), 0);
    }

    void playWithOthersStartsTheLobbyOnlyWhenInstalled()
    {
        const QString lobby = home.filePath(u"orvanelobby"_qs);
        qputenv("QUILLET_LOBBY_PROGRAM", lobby.toLocal8Bit());
        Tdownload w;
        QSignalSpy closing(&w, &Tdownload::closeGame);
        w.playWithOthersButton->click();
        QVERIFY(w.messageBox);
        QVERIFY(w.messageBox->text().contains(u"File / Host a Game..."_qs));
        QVERIFY(w.messageBox->text().contains(u"File / Join a Game..."_qs));
        QCOMPARE(closing.count(), 0);
        // Once the player has read why, the game offers its own way to play with others.
        QSignalSpy offered(&w, &Tdownload::lobbyMissing);
        QCOMPARE(offered.count(), 0);
        w.messageBox->accept();
        QCOMPARE(offered.count(), 1);

        QFile program(lobby);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/lobby-started\"\n");
        program.close();
        program.setPermissions(program.permissions() | QFile::ExeOwner);
        w.playWithOthersButton->click();
        QCOMPARE(closing.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.filePath(u"lobby-started"_qs)), 5000);
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
