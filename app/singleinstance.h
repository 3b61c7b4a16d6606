#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

// Only one copy per user and display. The first copy holds a local server named after the
// instance; a later copy asks it to bring its window forward and then ends without a window.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // Full name for "kipmol", scoped to the user, the display and the test scope.
    static QString scopedName(const QString &name);

    // True when another copy runs (it has been asked to restore its window).
    bool anotherCopyRuns(const QString &name);
    // The window that a later copy brings forward.
    void setWindow(QWidget *w) { window = w; }
    // Gives up the name: a copy started after this becomes the first one.
    void release();

private:
    void raiseWindow();
    QLocalServer *server = nullptr;
    QWidget *window = nullptr;
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
