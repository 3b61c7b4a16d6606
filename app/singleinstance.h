#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QWidget;

// Only one copy per user and display. The first copy holds a lock and a local server, both named
// after the instance, in a folder only this user can enter; a later copy asks that server to
// bring the first copy's window forward (and hands it an invitation link, if it was given one)
// and then ends without a window.
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
    // The private folder under the temporary folder used when there is no runtime folder.
    static QString ownTempFolder();

    // True when another copy runs (it has been asked to restore its window, and to open the join
    // dialog with `link` when one is given). A folder or server that is not this user's own and
    // closed to others is never used: the copy then runs on its own and says so on stderr.
    bool anotherCopyRuns(const QString &name, const QString &link = QString());
    // In the first copy: a later copy handed over this link.
    std::function<void(const QString &)> onLink;
    // Longest message a later copy may send; anything longer is not read.
    static constexpr qsizetype maxMessage = 1024;
    // The window that a later copy brings forward.
    void setWindow(QWidget *w) { window = w; }
    // Gives up the name: a copy started after this becomes the first one.
    void release();

private:
    enum Answer { Asked, NoAnswer, Refused };
    Answer askFirstCopy(const QString &serverName, int waitMs, const QString &link);
    void heard(const QByteArray &message);
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
