// quillet-host: the host alone, with no window and no player of its own. The first player to
// join takes slot 1 and with it the hosting player's say (starting games, removing players);
// while slot 1 is empty, the seated player with the lowest number has it.
#include "address/invitation.h"
#include "fleet/agonessdk.h"
#include "host/phrasefile.h"
#include "host/tserver.h"
#include "lan/lan.h"
#include "platform/config.h"
#include "platform/errors.h"
#include "platform/stopsignals.h"
#include "protocol/tsock.h"
#include "quillet-host/fleetmember.h"
#include "quillet-host/hostlog.h"
#include "quillet-host/table.h"
#include "router/localaddress.h"
#include "router/routeropening.h"
#include "webserve/request.h"
#include "webserve/webserver.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

QByteArray usagetext()
{
    return QStringLiteral(
               "usage: quillet-host [--port N] [--name NAME] [--no-announce] [--open-router] [--agones]\n"
               "                    [--idle-shutdown SECONDS] [--phrases FILE] [--hints]\n"
               "The game port is 7772 unless QUILLET_GAME_PORT or --port names another.\n"
               "--phrases FILE: the phrases of this host's games, from a UTF-8 file of one phrase a line;\n"
               "headings such as [Movies] start a category, lines before the first heading go into every\n"
               "category without one, blank lines and lines starting with # are skipped. A file that cannot\n"
               "be used is refused with the line to blame, and the host does not start.\n"
               "--hints: letter hints in every game this host runs, whatever the game's start asks: one\n"
               "more letter shows at half and at three quarters of the drawing time.\n"
               "In a fleet (AGONES_SDK_HTTP_PORT set, or --agones): ready once the port listens, a health "
               "ping\n"
               "every %1 s, and a shutdown once an allocated table has been empty for --idle-shutdown "
               "SECONDS\n"
               "(default 300).\n"
               "--web-port N, --no-web: browsers join at http://ADDRESS:7774/, the web port, unless\n"
               "QUILLET_WEB_PORT or --web-port names another; --no-web (or QUILLET_WEB_PORT=0) serves no "
               "page.\n")
        .arg(AgonesSdk::Timing{}.healthMs / 1000)
        .toUtf8();
}

int usage()
{
    std::fputs(usagetext().constData(), stderr);
    return 2;
}

// A port from the command line or the environment; 0 when it is not one from 1 to 65535.
int portnumber(const QString &value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 65535 ? n : 0;
}

// Milliseconds from the environment (the tests' short intervals), or the default.
int milliseconds(const char *variable, int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(variable, &ok);
    return ok && n > 0 ? n : fallback;
}

int badport(const QString &value, const char *from)
{
    std::fprintf(stderr, "quillet-host: the port %s (%s) is not a number from 1 to 65535\n",
                 value.toUtf8().constData(), from);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillet-host"));

    QString port;
    const char *portfrom = "QUILLET_GAME_PORT";
    // The name players see in the list of games on this network.
    QString name = QStringLiteral("Dedicated host");
    bool announcing = true;
    // Asks the router to forward the game port: only when the operator says so.
    bool openRouter = false;
    // Serves the page for browsers at the web port.
    QString webport = qEnvironmentVariable("QUILLET_WEB_PORT", QString::number(web::defaultPort));
    const char *webportfrom = "QUILLET_WEB_PORT";
    bool serveweb = true;
    // Reports to the fleet's sidecar: when the fleet gives its port, or when the operator says so.
    std::optional<quint16> sdkport = AgonesSdk::portFromEnvironment();
    int idleSeconds = 300;
    QString phrasepath;
    bool hints = false;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        if (args[i] == QLatin1String("--name") && i + 1 < args.size()) {
            name = args[++i].simplified();
            continue;
        }
        if (args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h")) {
            std::fputs(usagetext().constData(), stdout);
            return 0;
        }
        if (args[i] == QLatin1String("--no-announce")) {
            announcing = false;
            continue;
        }
        if (args[i] == QLatin1String("--phrases") && i + 1 < args.size()) {
            phrasepath = args[++i];
            continue;
        }
        if (args[i] == QLatin1String("--hints")) {
            hints = true;
            continue;
        }
        if (args[i] == QLatin1String("--open-router")) {
            openRouter = true;
            continue;
        }
        if (args[i] == QLatin1String("--no-web")) {
            serveweb = false;
            continue;
        }
        if (args[i] == QLatin1String("--web-port") && i + 1 < args.size()) {
            webport = args[++i];
            webportfrom = "--web-port";
            continue;
        }
        if (args[i] == QLatin1String("--agones")) {
            if (!sdkport)
                sdkport = AgonesSdk::defaultPort;
            continue;
        }
        if (args[i] == QLatin1String("--idle-shutdown") && i + 1 < args.size()) {
            bool ok = false;
            idleSeconds = args[++i].toInt(&ok);
            if (!ok || idleSeconds < 0 || idleSeconds > 7 * 24 * 3600)
                return usage();
            continue;
        }
        if (args[i] == QLatin1String("--port") && i + 1 < args.size())
            value = args[++i];
        else if (args[i].startsWith(QLatin1String("--port=")))
            value = args[i].mid(7);
        else
            return usage();
        if (portnumber(value) == 0)
            return badport(value, "--port");
        port = value;
        portfrom = "--port";
    }
    if (port.isEmpty())
        port = config::gamePort();
    const int portnum = portnumber(port);
    if (portnum == 0)
        return badport(port, portfrom);
    // QUILLET_WEB_PORT=0 serves no page, as --no-web does.
    if (qstrcmp(webportfrom, "QUILLET_WEB_PORT") == 0 && webport == QLatin1String("0"))
        serveweb = false;
    const quint16 webportnum = web::portNumber(webport);
    if (serveweb && webportnum == 0)
        return badport(webport, webportfrom);
    if (sdkport == quint16(0))
        return badport(qEnvironmentVariable("AGONES_SDK_HTTP_PORT"), "AGONES_SDK_HTTP_PORT");

    // The phrases are checked before anything listens: a file that cannot be used stops the host.
    phrasefile::Lists own;
    if (!phrasepath.isEmpty()) {
        own = phrasefile::load(phrasepath);
        if (!own.ok()) {
            std::fprintf(stderr, "quillet-host: the phrases of %s cannot be used: %s\n",
                         phrasepath.toUtf8().constData(), own.error.toUtf8().constData());
            return 2;
        }
    }

    // A hang-up stops the host as a termination does: it has no terminal to reload for.
    StopSignals stop(nullptr, {SIGINT, SIGTERM, SIGHUP});
    Table table(stdout);
    TServer &host = table.host;
    HostLog &log = table.log;
    WebServer &webserver = table.web;
    table.setup(phrasepath.isEmpty() ? nullptr : &own.lists, hints);
    if (const QString error = table.listen(quint16(portnum)); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    log.line(QStringLiteral("Listening on port ") + host.listener.PortName);
    if (!phrasepath.isEmpty())
        log.line(QStringLiteral("Phrases from ") + phrasepath);
    if (hints)
        log.line(QStringLiteral("Letter hints in every game"));
    const quint16 gamePort = sockets::lookupPort(host.listener.PortName);
    log.line(QStringLiteral("Invitation: ") + invitation::build(router::localAddress(), gamePort));
    // In a fleet browsers come by the node's address and a port mapped to this one, neither of
    // which the host knows; such a host is on no private network a rebound name could reach into.
    webserver.anyHost = sdkport.has_value();
    if (serveweb && table.serveWeb(webportnum))
        log.line(QStringLiteral("Web page: ") + invitation::webAddress(router::localAddress(), webportnum));
    else if (serveweb)
        log.line(QStringLiteral("Browsers cannot join: another program holds port ") +
                 QString::number(webportnum));
    const quint16 webPort = webserver.listening() ? webportnum : 0;
    RouterOpening opening;
    if (openRouter) {
        QObject::connect(&opening, &RouterOpening::opened, &app, [&](const QString &external) {
            log.line(QStringLiteral("Router opened port ") + QString::number(gamePort) +
                     QStringLiteral(" for ") + opening.lanAddress());
            if (!external.isEmpty())
                log.line(QStringLiteral("Invitation: ") + invitation::build(external, gamePort));
            if (!external.isEmpty() && webPort != 0) {
                webserver.allowName(external);
                log.line(QStringLiteral("Web page: ") + invitation::webAddress(external, webPort));
            }
        });
        QObject::connect(&opening, &RouterOpening::failed, &app, [&](const QString &reason) {
            log.line(router::refusalNotice(gamePort) + QStringLiteral(" (") + reason + QLatin1Char(')'));
        });
        router::Request request;
        request.port = gamePort;
        request.webPort = webPort;
        request.description = QStringLiteral("Quillet game: ") + name;
        request.descriptionUrl = router::descriptionUrlFromEnvironment();
        opening.open(request);
    }
    // Players on this network find the game in their join dialog.
    GameAnnouncer announcer(name, gamePort, [&host](announce::Announcement &a) { host.game().describe(a); });
    if (announcing && !name.isEmpty())
        announcer.start();
    // The fleet learns of the table once the port listens, never before.
    std::unique_ptr<AgonesSdk> sdk;
    std::unique_ptr<FleetMember> member;
    if (sdkport) {
        AgonesSdk::Timing timing;
        timing.healthMs = milliseconds("QUILLET_AGONES_HEALTH_MS", timing.healthMs);
        timing.retryMs = milliseconds("QUILLET_AGONES_RETRY_MS", timing.retryMs);
        timing.retryMaxMs =
            qMax(timing.retryMs, milliseconds("QUILLET_AGONES_RETRY_MAX_MS", timing.retryMaxMs));
        sdk = std::make_unique<AgonesSdk>(*sdkport, timing);
        member = std::make_unique<FleetMember>(host, *sdk, idleSeconds * 1000);
        QObject::connect(member.get(), &FleetMember::noted, &log, &HostLog::line);
        member->listening();
    }
    QObject::connect(&stop, &StopSignals::received, &app, [&](int) { QCoreApplication::quit(); });
    const int rc = QCoreApplication::exec();
    if (opening.state() == RouterOpening::State::Open) {
        // Said only when the router took the removal: a mapping left behind lapses with its lease.
        if (opening.closeAndWait())
            log.line(QStringLiteral("Router closed port ") + QString::number(gamePort));
        else
            log.line(QStringLiteral("Router did not confirm closing port ") + QString::number(gamePort) +
                     QStringLiteral("; it lapses with its lease"));
    }
    log.line(QStringLiteral("Stopped"));
    return rc;
}
