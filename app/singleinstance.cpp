#include "app/singleinstance.h"

#include "platform/config.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file of this kind that this user owns and nobody else may use (a link is never followed).
bool isOwnPrivate(const QString &path, mode_t kind)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & S_IFMT) == kind &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

bool isOwnPrivateFolder(const QString &path)
{
    return isOwnPrivate(path, S_IFDIR);
}

// Said once on stderr when another copy cannot be reached safely.
void withoutHandOver(const QString &path)
{
    std::fprintf(stderr,
                 "quillet: %s is not private to this user; this copy runs on its own and "
                 "does not hand links to a running copy.\n",
                 QFile::encodeName(path).constData());
}

// Opens (creating) a lock file in a private folder; -1 when it cannot be had.
int openLockFile(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

SingleInstance::~SingleInstance()
{
    if (lockfd >= 0)
        ::close(lockfd);
}

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

QString SingleInstance::ownTempFolder()
{
    return QDir::tempPath() + QStringLiteral("/quillet-") + QString::number(::getuid());
}

QString SingleInstance::privateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isOwnPrivateFolder(runtime))
        return runtime;
    // Made only when nothing is there; whatever is there already must be this user's own and
    // closed to others, or it is not used.
    const QString own = ownTempFolder();
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isOwnPrivateFolder(own) ? own : QString();
}

bool SingleInstance::anotherCopyRuns(const QString &name, const QString &link)
{
    const QString folder = privateFolder();
    if (folder.isEmpty()) {
        // A name anybody could have taken is never asked nor served.
        withoutHandOver(ownTempFolder());
        return false;
    }
    const QString full = folder + QLatin1Char('/') + scopedName(name);
    lockfd = openLockFile(full + QStringLiteral(".lock"));
    if (lockfd < 0) {
        // No lock to be had: the server's name alone decides, first come first served.
        if (const Answer a = askFirstCopy(full, 0, link); a != NoAnswer)
            return a == Asked;
        serve(full);
        return false;
    }
    if (::flock(lockfd, LOCK_EX | LOCK_NB) == 0) {
        // The lock stays ours while this copy runs, so a server under the name was left behind
        // by a copy that died.
        QLocalServer::removeServer(full);
        serve(full);
        return false;
    }
    // The first copy holds the lock; it may still be opening its server.
    return askFirstCopy(full, 5000, link) != Refused;
}

SingleInstance::Answer SingleInstance::askFirstCopy(const QString &serverName, int waitMs,
                                                    const QString &link)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        // Only a server of this user's own hears the link.
        const QByteArray file = QFile::encodeName(serverName);
        struct stat st;
        if (::lstat(file.constData(), &st) == 0 && !isOwnPrivate(serverName, S_IFSOCK)) {
            withoutHandOver(serverName);
            return Refused;
        }
        QLocalSocket probe;
        probe.connectToServer(serverName);
        if (probe.waitForConnected(1000)) {
            QByteArray message = "restore\n";
            // One line, whole: a link holds no line break that could start another request, and a
            // link too long to pass is not cut into another one.
            const QByteArray bytes = link.toUtf8();
            if (!bytes.isEmpty() && !bytes.contains('\n') && !bytes.contains('\r') &&
                message.size() + bytes.size() + 6 <= maxMessage)
                message += "link " + bytes + '\n';
            probe.write(message);
            probe.waitForBytesWritten(1000);
            probe.disconnectFromServer();
            return Asked;
        }
        if (deadline.hasExpired())
            return NoAnswer;
        QThread::msleep(50);
    }
}

void SingleInstance::serve(const QString &serverName)
{
    server = new QLocalServer(this);
    // Only this user may reach it.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName)) {
        QLocalServer::removeServer(serverName);
        server->listen(serverName);
    }
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *c = server->nextPendingConnection()) {
            connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
            // The later copy writes its whole message and hangs up; what it said is read then.
            connect(c, &QLocalSocket::readyRead, c, [c] {
                if (c->bytesAvailable() > maxMessage)
                    c->abort();
            });
            connect(c, &QLocalSocket::disconnected, this, [this, c] {
                if (c->bytesAvailable() <= maxMessage)
                    heard(c->readAll());
            });
            raiseWindow();
        }
    });
}

void SingleInstance::heard(const QByteArray &message)
{
    for (const QByteArray &line : message.split('\n')) {
        if (line.startsWith("link ") && onLink)
            onLink(QString::fromUtf8(line.mid(5)));
    }
}

void SingleInstance::release()
{
    delete server; // closing removes the name
    server = nullptr;
    window = nullptr;
    if (lockfd >= 0) {
        ::close(lockfd); // the lock goes with it: the next copy is the first again
        lockfd = -1;
    }
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
    const QString folder = SingleInstance::privateFolder();
    if (folder.isEmpty())
        return;
    fd = openLockFile(folder + QLatin1Char('/') + SingleInstance::scopedName(name) + QStringLiteral(".lock"));
    if (fd >= 0)
        ::flock(fd, LOCK_EX | LOCK_NB); // never tested; held while the program runs
}

RunningMarker::~RunningMarker()
{
    if (fd >= 0)
        ::close(fd);
}
