#pragma once
// A private X server for tests that drive real copies of the program: Xvfb on the first free
// display, xdotool to find windows and click, ImageMagick's import for screenshots.

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>

// The child gets SIGTERM when this process ends, also when it is killed: no X server or copy of
// the program outlives a test run that was cut short.
inline void endsWithUs(QProcess &child)
{
    child.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

// "needs Xvfb, xdotool (tools/setup.sh installs them)" for the tools not on the path, else empty.
inline QByteArray missingTools(const QStringList &tools)
{
    QStringList missing;
    for (const QString &tool : tools)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            missing << tool;
    if (missing.isEmpty())
        return {};
    return "needs " + missing.join(QStringLiteral(", ")).toLocal8Bit() + " (tools/setup.sh installs them)";
}

// A build machine that should have the tools fails; elsewhere the test steps aside.
#define QUILLET_REQUIRE_TOOLS(...)                                                                           \
    do {                                                                                                     \
        const QByteArray why = missingTools({__VA_ARGS__});                                                  \
        if (!why.isEmpty()) {                                                                                \
            if (qEnvironmentVariableIsSet("CI"))                                                             \
                QFAIL(why.constData());                                                                      \
            QSKIP(why.constData());                                                                          \
        }                                                                                                    \
    } while (false)

// A copy of the program shown on a private X server; killed if the test leaves it running.
struct XCopy
{
    QProcess proc;
    QString log;    // its error-box log
    QString window; // its main window's X id
    QPoint origin;  // where its main window's client area sits on the screen
    ~XCopy()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(3000);
        }
    }
};

class XSession
{
public:
    ~XSession() { stop(); }

    // Starts the server once; the error text, or empty when it runs.
    QString start(const QString &screen)
    {
        if (!display.isEmpty())
            return {};
        endsWithUs(xvfb);
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!xvfb.waitForStarted(5000))
            return xvfb.errorString();
        // It writes the display number once it accepts clients.
        QDeadlineTimer until(15000);
        while (!xvfb.canReadLine() && xvfb.state() == QProcess::Running && !until.hasExpired())
            xvfb.waitForReadyRead(100);
        if (!xvfb.canReadLine())
            return QStringLiteral("Xvfb did not start: ") +
                   QString::fromLocal8Bit(xvfb.readAllStandardError()).trimmed();
        display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
        return {};
    }
    void stop()
    {
        if (xvfb.state() != QProcess::NotRunning) {
            xvfb.terminate();
            if (!xvfb.waitForFinished(3000))
                xvfb.kill();
        }
        display.clear();
    }
    // The environment of a program shown on this server.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display);
        return env;
    }
    QString xdo(const QStringList &args, int ms = 5000) const
    {
        return run(QStringLiteral("xdotool"), args, ms);
    }
    // xdotool's words for a stroke from origin: the button pressed at the first point, moved
    // through the others with a pause (in seconds) after each, and left held.
    static QStringList strokeArgs(QPoint origin, const QList<QPoint> &stroke, const QString &pause)
    {
        QStringList args = {QStringLiteral("mousemove"),
                            QStringLiteral("--sync"),
                            QString::number(origin.x() + stroke[0].x()),
                            QString::number(origin.y() + stroke[0].y()),
                            QStringLiteral("mousedown"),
                            QStringLiteral("1")};
        for (const QPoint &p : stroke.mid(1))
            args << QStringLiteral("mousemove") << QStringLiteral("--sync")
                 << QString::number(origin.x() + p.x()) << QString::number(origin.y() + p.y())
                 << QStringLiteral("sleep") << pause;
        return args;
    }
    // The first visible window of the process whose title matches, waiting up to 10 s.
    QString findWindow(qint64 pid, const QString &title) const
    {
        QDeadlineTimer until(10000);
        while (!until.hasExpired()) {
            const QString found =
                xdo({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), title});
            if (!found.isEmpty())
                return found.split(QLatin1Char('\n')).first();
            QTest::qWait(100);
        }
        return {};
    }
    void click(QPoint screen) const
    {
        xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(screen.x()),
             QString::number(screen.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    QImage shot(const QRect &area) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(
            QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
             QStringLiteral("%1x%2+%3+%4").arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y()),
             QStringLiteral("png:-")});
        p.waitForFinished(10000);
        return QImage::fromData(p.readAllStandardOutput(), "PNG");
    }

    QString display;

private:
    QString run(const QString &program, const QStringList &args, int ms) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        p.waitForFinished(ms);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

    QProcess xvfb;
};
