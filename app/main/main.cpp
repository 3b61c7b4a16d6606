#include "app/program.h"
#include "app/rolechange.h"
#include "app/singleinstance.h"
#include "app/termination.h"
#include "client/tchat.h"

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
    closeOnTermination(program.chat.get());
    program.chat->show();
    const int code = QApplication::exec();
    handOver(program, single);
    return code;
}
