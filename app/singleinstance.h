#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

// Only one copy per user and display. The first copy holds a lock and a local server, both named
// after the instance, in a folder only this user can enter; a later copy asks that server to
// bring the first copy's window forward and then ends without a window.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    ~SingleInstance() override;

    // Full name for "kipmol", scoped to the user, the display and the test scope.
    static QString scopedName(const QString &name);
    // The folder of the lock and server files: the user's runtime folder, or a private folder of
    // the user's own under the temporary folder. Empty when neither can be had safely.
    static QString privateFolder();

    // True when another copy runs (it has been asked to restore its window).
    bool anotherCopyRuns(const QString &name);
    // The window that a later copy brings forward.
    void setWindow(QWidget *w) { window = w; }
    // Gives up the name: a copy started after this becomes the first one.
    void release();

private:
    bool askFirstCopy(const QString &serverName, int waitMs);
    void serve(const QString &serverName);
    void raiseWindow();
    QLocalServer *server = nullptr;
    QWidget *window = nullptr;
    int lockfd = -1;
};

// The running-game marker: a lock held for the life of the process.
class RunningMarker
{
public:
    explicit RunningMarker(const QString &name);
    ~RunningMarker();

private:
    int fd = -1;
};
