// Snapshots: taking them from the main window, the JPEG files on disk, and the browser.
#include "board/drawingboard.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "features/jpegwriter.h"
#include "features/snapshots.h"
#include "platform/errors.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"
#include "widgets/flatbutton.h"
#include "windows/snapshotbrowser.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

// The frame header of a baseline JPEG (SOF0): precision 8, the size and three components.
bool baseline24(const QByteArray &jpeg, int width, int height)
{
    const qsizetype at = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    if (at < 0 || at + 10 > jpeg.size() || jpeg.contains(QByteArray("\xFF\xC2", 2)))
        return false;
    const auto byte = [&](qsizetype i) { return int(uchar(jpeg[at + i])); };
    return byte(4) == 8 && byte(5) * 256 + byte(6) == height && byte(7) * 256 + byte(8) == width &&
           byte(9) == 3;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int darkPixels(const QImage &picture, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(picture.pixel(x, y)) < 100;
    return n;
}

} // namespace

class TestSnapshots : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    QStringList boxes;

    QString folder() const { return home.filePath(QStringLiteral("snapshots")); }
    QString snapcountInFile() const
    {
        return ini::readString(home.filePath(QStringLiteral("orvanelobby.ini")), QStringLiteral("Quillet"),
                               QStringLiteral("Snapcount"));
    }
    // A picture of this width in the browser's folder, so the one shown tells which file it is.
    void picture(const QString &name, int width)
    {
        QImage p(width, 20, QImage::Format_RGB32);
        p.fill(Qt::darkGreen);
        jpeg::save(p, QDir(folder()).filePath(name));
    }
    static int shownWidth(const Tsnapshot &b) { return b.image_snapshot->pixmap().width(); }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("QUILLET_HOME", home.path().toLocal8Bit());
        errorbox::setHook([this](const QString &text) { boxes << text; });
    }
    void init() { boxes.clear(); }

    void takingSnapshotsNumbersThemAndSurvivesFailures()
    {
        {
            Tchat w;
            emit w.game()->connected(); // as at the login, before any round can end
            ui(w).button_snapshot->click();
            QVERIFY(!QFileInfo::exists(folder()));

            // A turn solved: its caption is "date: Ann-BIG RED CAT".
            play(w.game(), {"CMD_newplayerinfo+1+Ann", "CMD_nextplayer+1+0+___ ___ ___",
                            "CMD_correctanswer+2+1+1+1+BIG RED CAT"});
            QPainter(&ui(w).image_main->image_backup).fillRect(200, 150, 100, 60, Qt::blue);
            logof(w);
            ui(w).button_snapshot->click();
            ui(w).button_snapshot->click();
            QVERIFY(boxes.isEmpty());
            // Each one is told in the chat.
            QCOMPARE(logof(w).lines.size(), 2);
            QCOMPARE(logof(w).lines[1].first, QStringLiteral("0+Snapshot saved as snapshot2.jpg."));
            QVERIFY(darkPixels(ui(w).image_main->image_backup, QRect(4, 4, 120, 16)) > 40);
            QCOMPARE(snapcountInFile(), QStringLiteral("2"));
        }
        const QByteArray first = readAll(QDir(folder()).filePath(QStringLiteral("snapshot1.jpg")));
        QCOMPARE(readAll(QDir(folder()).filePath(QStringLiteral("snapshot2.jpg"))), first);
        QVERIFY(baseline24(first, 533, 369));
        const QImage decoded = QImage::fromData(first, "JPEG");
        QCOMPARE(decoded.size(), QSize(533, 369));
        QVERIFY(darkPixels(decoded, QRect(4, 4, 120, 16)) > 40); // the caption's letters
        QCOMPARE(darkPixels(decoded, QRect(0, 30, 180, 100)), 0);
        QVERIFY(qBlue(decoded.pixel(250, 180)) > 200 && qRed(decoded.pixel(250, 180)) < 60);

        // Files deleted by hand: the count in the settings file goes on all the same.
        QVERIFY(QDir(folder()).removeRecursively());
        Tchat w;
        emit w.game()->connected();
        play(w.game(), {"CMD_nextplayer+1+0+_", "CMD_updateanswer+true+A"}); // a turn timed out
        ui(w).button_snapshot->click();
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("snapshot3.jpg")});

        // The count lost from the settings: the numbers go on past the files there, none is overwritten.
        const QByteArray third = readAll(QDir(folder()).filePath(QStringLiteral("snapshot3.jpg")));
        QVERIFY(QFile::remove(home.filePath(QStringLiteral("orvanelobby.ini"))));
        Tchat w2; // a later run, without the settings
        emit w2.game()->connected();
        play(w2.game(), {"CMD_nextplayer+1+0+_", "CMD_updateanswer+true+B"});
        ui(w2).button_snapshot->click();
        QCOMPARE(readAll(QDir(folder()).filePath(QStringLiteral("snapshot3.jpg"))), third);
        QCOMPARE(snapcountInFile(), QStringLiteral("4"));

        // A file where the folder should be: the box tells, the count and the picture stay.
        QVERIFY(QDir(folder()).removeRecursively());
        {
            QFile blocker(folder());
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        ui(w2).image_main->wipe();
        ui(w2).button_snapshot->click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(darkPixels(ui(w2).image_main->image_backup, QRect(4, 4, 120, 16)), 0);
        QVERIFY2(boxes[0].contains(QStringLiteral("snapshot5.jpg")), qPrintable(boxes[0]));
        QCOMPARE(snapcountInFile(), QStringLiteral("4"));

        // A save that fails at the rename leaves neither a part file nor a temporary one.
        QVERIFY(QFile::remove(folder()));
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("snapshot5.jpg/keep")));
        ui(w2).button_snapshot->click();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("snapshot5.jpg")});

        // A data folder none of whose levels exist yet (an installed copy's first snapshot).
        const QString deep = home.filePath(QStringLiteral("new/data"));
        qputenv("QUILLET_HOME", deep.toLocal8Bit());
        ui(w2).button_snapshot->click(); // the count stayed at 4: this is number 5
        qputenv("QUILLET_HOME", home.path().toLocal8Bit());
        QCOMPARE(boxes.size(), 2);
        QVERIFY(QFileInfo::exists(deep + QStringLiteral("/snapshots/snapshot5.jpg")));

        // libjpeg's fatal errors come back as errors, not as the end of the program.
        QVERIFY_THROWS_EXCEPTION(EError, jpeg::encode(QImage()));
    }

    void browserListsInNumberOrderAndSteps()
    {
        QVERIFY(QDir(folder()).removeRecursively() && QDir().mkpath(folder()));
        picture(QStringLiteral("snapshot10.jpg"), 110);
        picture(QStringLiteral("snapshot2.jpg"), 102);
        picture(QStringLiteral("snapshot1.jpg"), 101);
        picture(QStringLiteral("zebra.jpg"), 140);
        picture(QStringLiteral("Alpha.JPG"), 130);
        QVERIFY(QDir(folder()).mkdir(QStringLiteral("folder.jpg")));
        QFile(QDir(folder()).filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);

        Tsnapshot b;
        b.folder = folder();
        b.show();
        QStringList lines;
        for (int i = 0; i < b.listbox_snapshots->count(); ++i)
            lines << b.listbox_snapshots->item(i)->text();
        QCOMPARE(lines, (QStringList{QStringLiteral("snapshot1.jpg"), QStringLiteral("snapshot2.jpg"),
                                     QStringLiteral("snapshot10.jpg"), QStringLiteral("Alpha.JPG"),
                                     QStringLiteral("zebra.jpg")}));
        QCOMPARE(b.listbox_snapshots->currentRow(), 0);
        QCOMPARE(shownWidth(b), 101);

        b.previousButton->click(); // already the first
        QCOMPARE(b.listbox_snapshots->currentRow(), 0);
        for (int i = 0; i < 5; ++i)
            b.nextButton->click(); // the last click finds no further line
        QCOMPARE(b.listbox_snapshots->currentRow(), 4);
        QCOMPARE(shownWidth(b), 140);
        b.previousButton->click();
        QCOMPARE(shownWidth(b), 130);

        // A right click picks the line that "Delete" then acts on.
        const QRect line = b.listbox_snapshots->visualItemRect(b.listbox_snapshots->item(2));
        QTest::mousePress(b.listbox_snapshots->viewport(), Qt::RightButton, {}, line.center());
        QCOMPARE(b.listbox_snapshots->currentRow(), 2);
        QCOMPARE(shownWidth(b), 110);

        // Done closes the window, and so does Escape wherever the focus is.
        b.button_done->click();
        QVERIFY(!b.isVisible());
        b.show();
        QTest::keyClick(b.listbox_snapshots, Qt::Key_Escape);
        QVERIFY(!b.isVisible());
        QVERIFY(boxes.isEmpty());
    }

    void browserDeletesAndReportsBadFiles()
    {
        QVERIFY(QDir(folder()).removeRecursively() && QDir().mkpath(folder()));
        picture(QStringLiteral("snapshot1.jpg"), 101);
        picture(QStringLiteral("snapshot2.jpg"), 102);
        picture(QStringLiteral("snapshot3.jpg"), 103);
        Tsnapshot b;
        b.folder = folder();
        b.show();
        QCOMPARE(b.listbox_snapshots->count(), 3);

        // Deleting removes file and line; the picture stays, nothing else is selected.
        b.Delete1->trigger();
        QVERIFY(!QFileInfo::exists(QDir(folder()).filePath(QStringLiteral("snapshot1.jpg"))));
        QCOMPARE(b.listbox_snapshots->count(), 2);
        QCOMPARE(b.listbox_snapshots->currentRow(), -1);
        QCOMPARE(shownWidth(b), 101);
        b.Delete1->trigger(); // no selection: nothing
        QCOMPARE(b.listbox_snapshots->count(), 2);

        // A line whose file went by hand just goes.
        b.nextButton->click();
        QCOMPARE(shownWidth(b), 102);
        QVERIFY(QFile::remove(QDir(folder()).filePath(QStringLiteral("snapshot2.jpg"))));
        b.Delete1->trigger();
        QCOMPARE(b.listbox_snapshots->count(), 1);
        QVERIFY(boxes.isEmpty());

        // A file that can't be deleted keeps its line and says why.
        b.nextButton->click();
        const QString third = QDir(folder()).filePath(QStringLiteral("snapshot3.jpg"));
        QVERIFY(QFile::remove(third) && QDir().mkpath(third + QStringLiteral("/keep")));
        b.Delete1->trigger();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(b.listbox_snapshots->count(), 1);

        // A file that is no picture: the box, and the list as it was.
        QVERIFY(QDir(third).removeRecursively());
        QFile bad(third);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture");
        bad.close();
        picture(QStringLiteral("snapshot4.jpg"), 104);
        b.hide();
        b.show(); // shown again: the list is rebuilt and its first file is no picture
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[1].startsWith(QStringLiteral("snapshot3.jpg")), qPrintable(boxes[1]));
        QCOMPARE(b.listbox_snapshots->count(), 2);
        b.nextButton->click();
        QCOMPARE(shownWidth(b), 104);
    }
};

QTEST_MAIN(TestSnapshots)
#include "tst_snapshots.moc"
