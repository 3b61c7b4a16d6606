// Where the settings file and the snapshots go, and a settings file that cannot be written.
#include "client/chatpane.h"
#include "client/tchat.h"
#include "platform/config.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsFolders : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

    int linesContaining(const Tchat &w, const QString &part)
    {
        int n = 0;
        for (int p = 0; p < ui(w).chatpane->mainchat->paragraphCount(); ++p)
            n += ui(w).chatpane->mainchat->paragraphText(p).contains(part) ? 1 : 0;
        return n;
    }

private slots:
    void homeOverridesBoth()
    {
        qputenv("QUILLET_HOME", tmp.path().toLocal8Bit());
        QCOMPARE(config::dataDir(), tmp.path());
        QCOMPARE(config::snapshotsDir(), tmp.path() + QStringLiteral("/snapshots"));
    }

    // A folder that cannot hold the file (here: below a plain file, which even root cannot write
    // into) is said once in the chat pane, however often the settings are saved; nothing else breaks.
    void unwritableSettingsAreReportedOnce()
    {
        QFile plain(tmp.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        qputenv("QUILLET_HOME", plain.fileName().toLocal8Bit());
        Tchat w;
        emit w.game()->connected(); // read at the login; each switch from then on writes the whole set
        ui(w).playSoundsAction->trigger();
        ui(w).playSoundsAction->trigger();
        QCOMPARE(linesContaining(w, QStringLiteral("could not be saved")), 1);
        QVERIFY(ui(w).playSoundsAction->isChecked());
        qputenv("QUILLET_HOME", tmp.path().toLocal8Bit());
    }
};

QTEST_MAIN(TestSettingsFolders)
#include "tst_settingsfolders.moc"
