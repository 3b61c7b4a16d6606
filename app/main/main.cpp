#include "app/program.h"
#include "app/singleinstance.h"
#include "client/tchat.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance single;
    if (single.anotherCopyRuns(QStringLiteral("kipmol")))
        return 0;

    QStringList params = QApplication::arguments();
    params.removeFirst();
    Program program(params);
    single.setWindow(program.chat.get());
    QObject::connect(program.chat.get(), &Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    program.chat->show();
    return QApplication::exec();
}
