// Snapshot costs: taking one (stamp, encode, write, settings), opening the browser on a folder of
// 500 snapshots, and showing one picture.

#include "board/drawingboard.h"
#include "client/tchat.h"
#include "features/jpegwriter.h"
#include "features/playersettings.h"
#include "features/snapshots.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"
#include "windows/snapshotbrowser.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

// A finished drawing: a few dozen coloured strokes on white.
void scribble(QImage &picture)
{
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {Qt::black, Qt::red, Qt::blue, Qt::darkGreen, Qt::magenta};
    for (int s = 0; s < 40; ++s) {
        p.setPen(QPen(colours[s % 5], 1 + s % 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPointF last(266 + 200 * std::sin(s), 184 + 150 * std::cos(s * 1.3));
        for (int i = 1; i < 60; ++i) {
            const double t = s + i * 0.07;
            const QPointF next(266 + 220 * std::sin(t * 1.1) * std::cos(t * 0.4),
                               184 + 160 * std::sin(t * 0.8));
            p.drawLine(last, next);
            last = next;
        }
    }
}

} // namespace

class BenchSnapshots : public QObject
{
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("QUILLET_HOME", home.path().toLocal8Bit());
    }

    void takeSnapshot()
    {
        Tchat w;
        play(w.game(), {"CMD_newplayerinfo+1+Ann", "CMD_nextplayer+1+0+___",
                        "CMD_correctanswer+2+1+1+1+THE QUICK BROWN FOX"});
        scribble(ui(w).image_main->image_backup);
        ui(w).button_snapshot->click(); // the first text drawn loads the fonts
        QBENCHMARK
        {
            ui(w).button_snapshot->click();
        }
        QVERIFY(QDir(snapshots::folder()).entryList(QDir::Files).size() > 1);
    }

    // The parts of taking one, for finding where the time goes.
    void takeSnapshotParts_data()
    {
        QTest::addColumn<int>("part");
        QTest::newRow("stamp") << 0;
        QTest::newRow("encode") << 1;
        QTest::newRow("encode and write") << 2;
        QTest::newRow("settings") << 3;
    }
    void takeSnapshotParts()
    {
        QFETCH(int, part);
        Tchat w;
        PlayerSettings settings;
        int snapcount = 0;
        QImage &picture = ui(w).image_main->image_backup;
        scribble(picture);
        const QString caption = QStringLiteral("07/12/2026: Ann-THE QUICK BROWN FOX");
        snapshots::stamp(picture, caption);
        const QString folder = home.filePath(QStringLiteral("parts"));
        QDir().mkpath(folder);
        QBENCHMARK
        {
            switch (part) {
            case 0:
                snapshots::stamp(picture, caption);
                break;
            case 1:
                jpeg::encode(picture);
                break;
            case 2:
                snapshots::save(picture, folder, 1);
                break;
            default:
                // A changed count: the window's keys are written.
                settings.setNumber(PlayerSettings::Snapcount, ++snapcount);
                settings.save(w.settingsfile(), PlayerSettings::windowKeys);
            }
        }
    }

    void browserOpens500()
    {
        const QString folder = home.filePath(QStringLiteral("five-hundred"));
        QVERIFY(QDir().mkpath(folder));
        QImage picture(533, 369, QImage::Format_RGB32);
        picture.fill(Qt::white);
        scribble(picture);
        snapshots::save(picture, folder, 1);
        for (int n = 2; n <= 500; ++n)
            QVERIFY(QFile::remove(QDir(folder).filePath(snapshots::fileName(n))) || true);
        for (int n = 2; n <= 500; ++n)
            QVERIFY(QFile::copy(QDir(folder).filePath(snapshots::fileName(1)),
                                QDir(folder).filePath(snapshots::fileName(n))));
        Tsnapshot b;
        b.folder = folder;
        QBENCHMARK
        {
            b.FormShow();
        }
        QCOMPARE(b.listbox_snapshots->count(), 500);
    }

    void showPicture()
    {
        Tsnapshot b;
        b.folder = home.filePath(QStringLiteral("five-hundred"));
        b.FormShow();
        int row = 0;
        QBENCHMARK
        {
            row = (row + 1) % 500;
            b.loadsnapshot(row);
        }
    }
};

QTEST_MAIN(BenchSnapshots)
#include "bench_snapshots.moc"
