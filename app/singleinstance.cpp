#include "app/singleinstance.h"

#include "protocol/config.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString SingleInstance::scopedName(const QString &name)
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    QString scoped = name + QLatin1Char('-') + QString::number(::getuid()) + QLatin1Char('-') + display;
    if (!config::instanceScope().isEmpty())
        scoped += QLatin1Char('-') + config::instanceScope();
    scoped.replace(QLatin1Char('/'), QLatin1Char('_'));
    scoped.replace(QLatin1Char(':'), QLatin1Char('_'));
    return scoped;
}

bool SingleInstance::anotherCopyRuns(const QString &name)
{
    const QString full = scopedName(name);
    {
        QLocalSocket probe;
        probe.connectToServer(full);
        if (probe.waitForConnected(1000)) {
            probe.write("restore\n");
            probe.waitForBytesWritten(1000);
            probe.disconnectFromServer();
            return true;
        }
    }
    server = new QLocalServer(this);
    if (!server->listen(full)) {
        // A name left behind by a copy that died: take it over.
        QLocalServer::removeServer(full);
        server->listen(full);
    }
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *c = server->nextPendingConnection()) {
            connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
            raiseWindow();
        }
    });
    return false;
}

void SingleInstance::release()
{
    delete server; // closing removes the name
    server = nullptr;
    window = nullptr;
}

void SingleInstance::raiseWindow()
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

RunningMarker::RunningMarker(const QString &name)
{
    const QString path = QDir::temp().filePath(SingleInstance::scopedName(name) + QStringLiteral(".lock"));
    fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::flock(fd, LOCK_EX | LOCK_NB); // never tested; held while the program runs
}

RunningMarker::~RunningMarker()
{
    if (fd >= 0)
        ::close(fd);
}
