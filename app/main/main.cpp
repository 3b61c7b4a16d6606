#include "app/program.h"
#include "app/singleinstance.h"
#include "client/tchat.h"

#include <QApplication>

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

    SingleInstance single;
    if (single.anotherCopyRuns(QStringLiteral("kipmol")))
        return 0;

    Program program(params);
    single.setWindow(program.chat.get());
    QObject::connect(program.chat.get(), &Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    program.chat->show();
    return QApplication::exec();
}
