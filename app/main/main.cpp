#include "app/hostjoin.h"
#include "app/program.h"
#include "app/rolechange.h"
#include "app/singleinstance.h"
#include "assets/assets.h"
#include "client/tchat.h"
#include "platform/stopsignals.h"
#include "widgets/resourceicon.h"

#include <QApplication>
#include <QTimer>

namespace {
constexpr int restAfterStartMs = 2000;
}

int main(int argc, char **argv)
{
    // The command line belongs to the game: a player called "-style" or "-reverse" keeps that
    // name, so the toolkit sees none of the parameters.
    QStringList params;
    for (int i = 1; i < argc; ++i)
        params << QString::fromLocal8Bit(argv[i]);
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
    QApplication::setWindowIcon(resourceIcon(QStringLiteral(":/icons/quillet-%1.png"), {48, 128, 256}));

    SingleInstance single;
    if (single.anotherCopyRuns(QStringLiteral("kipmol"), Program::linkParameter(params)))
        return 0;

    Program program(params);
    single.setWindow(program.chat.get());
    single.onLink = [&program](const QString &link) { program.linkArrived(link); };
    QObject::connect(program.chat.get(), &Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    // A desktop logout or Ctrl+C closes the game as File/Exit does: settings saved, players told.
    StopSignals stop(nullptr, {SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&stop, &StopSignals::received, program.chat.get(), [&] { program.chat->close(); });
    program.chat->show();
    // Start-up has read its pictures, lists and help pages by then; the rest is read when used.
    QTimer::singleShot(restAfterStartMs, [] { assets::releaseResident(); });
    const int code = QApplication::exec();
    handOver(program, single);
    return code;
}
