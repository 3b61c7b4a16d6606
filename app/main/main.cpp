#include "app/program.h"
#include "app/singleinstance.h"
#include "client/tchat.h"
#include "protocol/stopsignals.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillet-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    SingleInstance single;
    if (single.anotherCopyRuns(QStringLiteral("kipmol")))
        return 0;

    QStringList params = QApplication::arguments();
    params.removeFirst();
    Program program(params);
    single.setWindow(program.chat.get());
    QObject::connect(program.chat.get(), &Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    // A desktop logout or Ctrl+C closes the game as File/Exit does: settings saved, players told.
    StopSignals stop(nullptr, {SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&stop, &StopSignals::received, program.chat.get(), [&] { program.chat->close(); });
    program.chat->show();
    return QApplication::exec();
}
