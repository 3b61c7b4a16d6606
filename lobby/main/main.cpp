// quillet-lobby: many tables in one process, each a whole host, and the lobby's web port that
// lists the public ones, seats a player by quick play and opens private tables.
#include "lobby/lobby.h"
#include "platform/stopsignals.h"

#include <QCoreApplication>
#include <QTimer>
#include <csignal>
#include <cstdio>

namespace {

const char usagetext[] =
    "usage: quillet-lobby [--port N] [--game-ports FIRST-LAST] [--no-announce] [--idle-close SECONDS]\n"
    "                     [--tables-per-minute N] [--max-tables N]\n"
    "--port N: the lobby's web port (7780 by default): GET /api/tables lists the public tables,\n"
    "POST /api/quick gives the table quick play picks (opening one when none has room),\n"
    "POST /api/private opens a private table, and /t/NAME/ leads a browser to a table's page.\n"
    "--game-ports FIRST-LAST: the tables' game ports (7800-7899 by default); each table's page is\n"
    "on its game port + 1000.\n"
    "--no-announce: the public tables are not announced to players on this network.\n"
    "--idle-close SECONDS: an empty table closes after so long (300 by default).\n"
    "--tables-per-minute N: tables one network address may open a minute (10 by default).\n"
    "--max-tables N: tables open at once (500 by default).\n";

int usage()
{
    std::fputs(usagetext, stderr);
    return 2;
}

// A whole number from `low` to `high`, or -1.
int number(const QString &text, int low, int high)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= low && n <= high ? n : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillet-lobby"));
    int port = 7780, first = 7800, last = 7899, idle = 300, perMinute = 10, maxTables = 500;
    bool announcing = true;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(usagetext, stdout);
            return 0;
        }
        if (a == QLatin1String("--no-announce")) {
            announcing = false;
            continue;
        }
        if (i + 1 >= args.size())
            return usage();
        const QString value = args[++i];
        if (a == QLatin1String("--port")) {
            port = number(value, 1, 65535);
        } else if (a == QLatin1String("--game-ports")) {
            const QStringList ends = value.split(QLatin1Char('-'));
            if (ends.size() != 2)
                return usage();
            first = number(ends[0], 1, 65535 - Lobby::webOffset);
            last = number(ends[1], 1, 65535 - Lobby::webOffset);
            if (first < 0 || last < first) {
                std::fprintf(stderr, "quillet-lobby: the game ports %s are not a range from 1 to %d\n",
                             value.toUtf8().constData(), 65535 - Lobby::webOffset);
                return 2;
            }
        } else if (a == QLatin1String("--idle-close")) {
            idle = number(value, 1, 7 * 24 * 3600);
        } else if (a == QLatin1String("--tables-per-minute")) {
            perMinute = number(value, 1, 100000);
        } else if (a == QLatin1String("--max-tables")) {
            maxTables = number(value, 1, 100000);
        } else {
            return usage();
        }
        if (port < 0 || idle < 0 || perMinute < 0 || maxTables < 0)
            return usage();
    }
    // A table's web port must not be another table's game port.
    if (last - first >= Lobby::webOffset) {
        std::fprintf(stderr, "quillet-lobby: the game ports %d-%d overlap their web ports\n", first, last);
        return 2;
    }

    StopSignals stop(nullptr, {SIGINT, SIGTERM, SIGHUP});
    Lobby lobby(quint16(first), quint16(last), stdout);
    lobby.idleMs = qint64(idle) * 1000;
    lobby.announcing = announcing;
    lobby.limits.perMinute = perMinute;
    lobby.limits.maxTables = maxTables;
    if (!lobby.listen(quint16(port))) {
        std::fprintf(stderr, "quillet-lobby: another program holds port %d\n", port);
        return 1;
    }
    lobby.line(QStringLiteral("Lobby on port %1, game ports %2-%3").arg(port).arg(first).arg(last));
    QObject::connect(&stop, &StopSignals::received, &app, [&](int) {
        // Players are told, then the goodbyes have a moment to leave before the process ends.
        lobby.closeAll();
        QTimer::singleShot(300, &app, &QCoreApplication::quit);
    });
    const int rc = QCoreApplication::exec();
    lobby.line(QStringLiteral("Stopped"));
    return rc;
}
