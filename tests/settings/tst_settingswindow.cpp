// The settings file through the main window: load at login, save from every caller, placement.
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "features/windowplacement.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"

#include <QAction>
#include <QColorDialog>
#include <QFile>
#include <QLayout>
#include <QScreen>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <climits>

namespace {
const QString S = QStringLiteral("Quillet");
}

class TestSettingsWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    QString file;

    void write(const QByteArray &text)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QString value(const QString &key) { return ini::readString(file, S, key, QStringLiteral("<missing>")); }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("QUILLET_HOME", home.path().toLocal8Bit());
    }

    void init()
    {
        file = home.filePath(QStringLiteral("orvanelobby.ini"));
        QFile::remove(file);
    }

    void firstRunTakesTheDefaults()
    {
        Tchat w;
        QCOMPARE(w.settingsfile(), file);
        // Until the login the window stands where it was built.
        QCOMPARE(QRect(w.x(), w.y(), w.width(), w.height()), QRect(3, 3, 797, 590));
        emit w.game()->connected();
        QCOMPARE(QRect(w.x(), w.y(), w.width(), w.height()), QRect(3, 3, 797, 590));
        QCOMPARE(ui(w).chatpane->textsize(), 8);
        QVERIFY(ui(w).chatpane->textSize8Action->isChecked());
        QCOMPARE(ui(w).chatpane->textcolor(), colortext::clMaroon);
        QVERIFY(ui(w).playSoundsAction->isChecked() && ui(w).playChatterSoundsAction->isChecked());
        QVERIFY(!QFile::exists(file));
        // Closing without a change since the file was read writes nothing.
        w.close();
        QVERIFY(!QFile::exists(file));
    }

    void roundTrip()
    {
        write("[Quillet]\nSnapcount=17\n");
        {
            Tchat w;
            emit w.game()->connected();
            ui(w).chatpane->textSizeClicked(12);
            QCOMPARE(value(QStringLiteral("Textsize")), QStringLiteral("12"));
            ui(w).playSoundsAction->trigger();
            QCOMPARE(value(QStringLiteral("Playsounds")), QStringLiteral("false"));
            QCOMPARE(value(QStringLiteral("ChatterSounds")), QStringLiteral("true"));
            // The colour dialog, confirmed with another colour.
            QTimer::singleShot(0, &w, [&] {
                ui(w).colorDialog()->setCurrentColor(colortext::toQColor(colortext::clNavy));
                ui(w).colorDialog()->accept();
            });
            ui(w).textColorAction->trigger();
            QCOMPARE(value(QStringLiteral("Textcolor")), QStringLiteral("clNavy"));
            QCOMPARE(value(QStringLiteral("Snapcount")), QStringLiteral("17")); // kept from the file
            // Cancelled: the colour stays, the file is written all the same.
            QFile::remove(file);
            QTimer::singleShot(0, &w, [&] {
                ui(w).colorDialog()->setCurrentColor(Qt::red);
                ui(w).colorDialog()->reject();
            });
            ui(w).textColorAction->trigger();
            QCOMPARE(value(QStringLiteral("Textcolor")), QStringLiteral("clNavy"));
            w.move(40, 50);
            w.resize(798, 597);
            w.close();
        }
        QCOMPARE(value(QStringLiteral("Width")), QStringLiteral("798"));
        Tchat w;
        emit w.game()->connected();
        QCOMPARE(QRect(w.x(), w.y(), w.width(), w.height()), QRect(40, 50, 798, 597));
        QCOMPARE(ui(w).chatpane->textsize(), 12);
        QVERIFY(ui(w).chatpane->textSize12Action->isChecked() &&
                !ui(w).chatpane->textSize8Action->isChecked());
        QCOMPARE(ui(w).chatpane->textcolor(), colortext::clNavy);
        QCOMPARE(ui(w).chatpane->mychat->palette().color(QPalette::Text), QColor(0, 0, 128));
        QCOMPARE(value(QStringLiteral("Snapcount")), QStringLiteral("17"));
        QVERIFY(!ui(w).playSoundsAction->isChecked());
        QVERIFY(ui(w).playChatterSoundsAction->isChecked());
    }

    void loadedAtTheOwnConnectedLine()
    {
        write("[Quillet]\nTextsize=14\n");
        Tchat w;
        QCOMPARE(ui(w).chatpane->textsize(), 14); // read when the window was made
        write("[Quillet]\nTextsize=12\n");
        unplug(w.game());
        play(w.game(), {"CMD_sendlogininfo+2"});
        w.game()->handle(QStringLiteral("CMD_newplayerinfo+3+Bob"));
        QCOMPARE(ui(w).chatpane->textsize(), 14); // somebody else: not yet
        w.game()->handle(QStringLiteral("CMD_newplayerinfo+2+Me"));
        QCOMPARE(ui(w).chatpane->textsize(), 12);
    }

    // The saved settings show from the window's start, so a join that fails leaves the window
    // where it was saved, in its text size, colour and phrases; the file stays as it was.
    void readWhenTheWindowIsMade()
    {
        const QByteArray saved("[Quillet]\nLeft=40\nTop=50\nWidth=800\nHeight=640\nTextsize=12\n"
                               "Textcolor=clNavy\nPlaysounds=false\nChatterSounds=false\nPhrase1=Hi all\n");
        write(saved);
        QTcpServer host;
        QVERIFY(host.listen(QHostAddress::LocalHost));
        {
            Tchat w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.setparams({QStringLiteral("Me"),
                         QStringLiteral("127.0.0.1:") + QString::number(host.serverPort()),
                         QStringLiteral("join")});
            w.processparams();
            QTRY_VERIFY(host.hasPendingConnections());
            host.nextPendingConnection()->close(); // gone before the login
            QTRY_VERIFY(ui(w).chatpane->mainchat->paragraphCount() > 0);
            QCOMPARE(QRect(w.x(), w.y(), w.width(), w.height()), QRect(40, 50, 800, 640));
            QCOMPARE(ui(w).chatpane->textsize(), 12);
            QVERIFY(ui(w).chatpane->textSize12Action->isChecked());
            QCOMPARE(ui(w).chatpane->textcolor(), colortext::clNavy);
            QVERIFY(!ui(w).playSoundsAction->isChecked() && !ui(w).playChatterSoundsAction->isChecked());
            QCOMPARE(ui(w).phrases().first(), QStringLiteral("Hi all"));
            w.move(60, 70);
            w.close();
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), saved);
    }

    void valuesAsWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("textsize");
        QTest::addColumn<int>("colour");
        QTest::addColumn<bool>("sounds");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("False stays on, size 9") << QByteArray("[Quillet]\nPlaysounds=False\nTextsize=9\n")
                                                << 9 << colortext::clMaroon << true << QRect(3, 3, 797, 590);
        QTest::newRow("hex forms") << QByteArray("[quillet]\ntop=$1F\nLEFT=0x1F\nTextcolor=$00FF0000\n") << 8
                                   << colortext::clBlue << true << QRect(31, 31, 797, 590);
        QTest::newRow("unreadable values")
            << QByteArray("[Quillet]\nTop=abc\nWidth=wide\nTextsize=big\nTextcolor=pink\nPlaysounds=false\n")
            << 8 << colortext::clMaroon << false << QRect(3, 3, 797, 590);
        QTest::newRow("other section ignored") << QByteArray("[Other]\nTextsize=12\n[Quillet]\nHeight=600\n")
                                               << 8 << colortext::clMaroon << true << QRect(3, 3, 797, 600);
    }

    void valuesAsWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, textsize);
        QFETCH(int, colour);
        QFETCH(bool, sounds);
        QFETCH(QRect, geometry);
        write(file);
        Tchat w;
        emit w.game()->connected();
        QCOMPARE(ui(w).chatpane->textsize(), textsize);
        for (QAction *a : {ui(w).chatpane->textSize8Action, ui(w).chatpane->textSize10Action,
                           ui(w).chatpane->textSize12Action, ui(w).chatpane->textSize14Action})
            QCOMPARE(a->isChecked(), a->text() == QString::number(textsize));
        QCOMPARE(ui(w).chatpane->textcolor(), colour);
        QCOMPARE(ui(w).playSoundsAction->isChecked(), sounds);
        QCOMPARE(QRect(w.x(), w.y(), w.width(), w.height()), geometry);
    }

    void phrasesGoToTheButtons()
    {
        write("[Quillet]\nPhrase1=Hi all\nPhrase2=\n");
        Tchat w;
        QToolButton *b1 = ui(w).b_phrase[1];
        QToolButton *b2 = ui(w).b_phrase[2];
        emit w.game()->connected();
        QCOMPARE(b1->toolTip(), QStringLiteral("Hi all"));
        QCOMPARE(b2->toolTip(), QStringLiteral("Good One!"));
        QCOMPARE(ui(w).phrases().mid(0, 2),
                 (QStringList{QStringLiteral("Hi all"), QStringLiteral("Good One!")}));
        // Saving the window's settings never writes the phrases, and keeps the other lines.
        ui(w).playSoundsAction->trigger();
        ui(w).playSoundsAction->trigger();
        QCOMPARE(value(QStringLiteral("Phrase1")), QStringLiteral("Hi all"));
        QCOMPARE(value(QStringLiteral("Phrase2")), QString());
    }

    void placementOnClose()
    {
        // Before the file has been read, closing writes nothing, and a switch writes only itself.
        {
            write("[Quillet]\nLeft=40\nSnapcount=12\n");
            Tchat w;
            w.move(3, 3);
            ui(w).playSoundsAction->trigger();
            ui(w).chatpane->textSizeClicked(12);
            w.close();
            QCOMPARE(value(QStringLiteral("Left")), QStringLiteral("40"));
            QCOMPARE(value(QStringLiteral("Snapcount")), QStringLiteral("12"));
            QCOMPARE(value(QStringLiteral("Width")), QStringLiteral("<missing>"));
            QCOMPARE(value(QStringLiteral("Playsounds")), QStringLiteral("false"));
            QCOMPARE(value(QStringLiteral("Textsize")), QStringLiteral("12"));
            QCOMPARE(value(QStringLiteral("Textcolor")), QStringLiteral("<missing>"));
        }
        // A window larger than the work area is stored 15 pixels smaller each way.
        {
            Tchat w;
            emit w.game()->connected();
            const QRect work = w.screen()->availableGeometry();
            w.resize(work.width() + 40, work.height() + 40);
            w.close();
            QCOMPARE(value(QStringLiteral("Width")), QString::number(work.width() + 25));
            QCOMPARE(value(QStringLiteral("Height")), QString::number(work.height() + 25));
        }
        // Reset Screen Location writes nothing at once; the close saves it.
        {
            Tchat w;
            emit w.game()->connected();
            w.move(100, 120);
            ui(w).resetScreenLocationAction->trigger();
            QCOMPARE(QRect(w.x(), w.y(), w.width(), w.height()), QRect(3, 3, 797, 590));
            QVERIFY(value(QStringLiteral("Width")) != QLatin1String("797"));
            w.close();
            QCOMPARE(value(QStringLiteral("Width")), QStringLiteral("797"));
            QCOMPARE(value(QStringLiteral("Top")), QStringLiteral("3"));
        }
    }

    // Numbers in the file that would cost the machine: a size far beyond the work area, positions
    // at the ends of int. The window fits the work area, its arithmetic stays in range, and a
    // window saved off-screen stays off-screen.
    void placementFromTheFileIsBounded()
    {
        const int far = windowplacement::farthest;
        const QSize work(1024, 768);
        QCOMPARE(windowplacement::restored(INT_MAX, INT_MIN, INT_MAX, INT_MAX, work),
                 QRect(far, -far, 1024, 768));
        QCOMPARE(windowplacement::restored(INT_MIN, 5000, -7, INT_MIN, work), QRect(-far, 5000, 0, 0));
        QCOMPARE(windowplacement::restored(3, 3, 797, 590, work), QRect(3, 3, 797, 590));
        QCOMPARE(windowplacement::restored(-40, 3, 5000, 590, QSize()), QRect(-40, 3, 5000, 590));

        write("[Quillet]\nLeft=2147483647\nTop=2147483647\nWidth=2147483647\nHeight=2147483647\n");
        {
            Tchat w;
            emit w.game()->connected();
            w.show();
            const QRect available = w.screen()->availableGeometry();
            // Never below the window's own minimum, which FormResize keeps.
            QCOMPARE(w.width(), std::max(available.width(), w.minimumSizeHint().width()));
            QVERIFY(w.height() <= std::max(available.height(), w.minimumSizeHint().height()));
            QCOMPARE(QPoint(w.x(), w.y()), QPoint(far, far));
            w.close();
        }
        QCOMPARE(value(QStringLiteral("Left")), QString::number(far));
        QVERIFY(value(QStringLiteral("Width")).toInt() <= 4000);
        QVERIFY(value(QStringLiteral("Height")).toInt() <= 4000);
    }

    void minimumClientSize()
    {
        Tchat w;
        w.layout()->activate();
        w.resize(300, 200);
        QVERIFY(w.centralWidget()->minimumSize().width() >= 792);
        QVERIFY(w.width() >= 792);
        QVERIFY(w.height() >= 545);
    }

    // A resize that comes from outside (a window manager that ignores the size hints, or none at
    // all) still never leaves the client area smaller than the board and its border.
    void minimumClientSizeAfterAnOutsideResize()
    {
        Tchat w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Nothing in Qt holds the window back any more, as with such a window manager.
        w.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        w.setMinimumSize(0, 0);
        w.resize(500, 400);
        QWidget *client = w.centralWidget();
        QCOMPARE(w.width() - client->x(), 792);
        QCOMPARE(w.height() - client->y(), 545);
        // The board stays centred in a larger window.
        w.resize(1000, 760);
        QCOMPARE(w.width(), 1000);
        const QRect board = ui(w).boardPanel->geometry();
        QCOMPARE(board.left(), (client->width() - board.width()) / 2);
        QCOMPARE(board.top(), (client->height() - board.height()) / 2);
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
