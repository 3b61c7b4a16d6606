#pragma once

#include "windows/httpget.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QSaveFile;

// Shown on a solo start: play alone, start the installed lobby, or download and run the lobby's
// installer.
class Tdownload : public QWidget
{
    Q_OBJECT
public:
    explicit Tdownload(QWidget *parent = nullptr);
    ~Tdownload() override;

    // The download state, kept in infolabel's "tag" property.
    enum State { notStarted = 0, downloading = 1, failed = 2 };
    int state() const;

    void getbuttonClick();
    void abortbuttonClick();
    void headerData();
    void docBegin();
    void docData(qint64 rcvd);
    void playSoloClicked();
    void playWithOthersClicked();

    QPushButton *getbutton = nullptr;
    QPushButton *abortbutton = nullptr;
    QPushButton *playSoloButton = nullptr;
    QPushButton *playWithOthersButton = nullptr;
    QLabel *infolabel = nullptr;
    QLabel *infolabel2 = nullptr; // the installer's file name while a download runs
    QLabel *infolabel3 = nullptr;
    HttpGet *installerGet = nullptr;
    // The last message box shown (non-modal, so the game goes on behind it).
    QPointer<QMessageBox> messageBox;
    // Whether this build offers an installer at all: an address and the digest it must have.
    bool installerOffered() const { return !expectedDigest.isEmpty(); }

signals:
    // The lobby or its installer has started: the game ends as File/Exit ends it.
    void closeGame();
    // "Play with Others" found no lobby, and the player has read why: the game offers its own way.
    void lobbyMissing();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void downloadEnded(const HttpGet::Result &result);
    void install(const QString &path);
    void setState(State s);
    void message(const QString &text, bool error);
    void downloadFailed();

    // Written under a temporary name; it takes the installer's name only once complete.
    std::unique_ptr<QSaveFile> file;
    // The installer's SHA-256 digest; empty when no installer is offered.
    QByteArray expectedDigest;
};
