#pragma once

#include "protocol/drain.h"
#include "protocol/receivequeue.h"
#include "protocol/tsock.h"

#include <QMainWindow>
#include <QStringList>

class QAction;
class QMenu;
class ChatPane;
class DrawingBoard;
class TServer;
class Tspylist;
class Tgamestartform;

// The main window: the player's side of the game.
class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tchat(QWidget *parent = nullptr);
    ~Tchat() override;

    // Windows this one talks to; set by the program's start before the window shows.
    TServer *server = nullptr;
    QWidget *downloadWindow = nullptr;
    Tspylist *spylist = nullptr;
    Tgamestartform *gamestartform = nullptr;
    // Command-line parameters (without the program name).
    QStringList params;

    // Sockets: the game connection and the silent lobby link.
    TSock sock;
    TSock Sock11;

    // Client state.
    int mynumber = 0;
    bool loggedin = false;
    int drawernumber = 0;
    bool amhost = false;
    QString playername;
    QString hostaddress;
    bool sologame = false;
    QString loginname;
    int defaultwidth = 0;
    int defaultheight = 0;
    int savedleft = 0, savedtop = 0, savedwidth = 0, savedheight = 0;
    bool phraseready = false;
    int phrasecooldown = 0;

    ReceiveQueue receivedlist;
    DrainTimer *Timer1 = nullptr;

    // Menus.
    QMenu *File1 = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *Exit1 = nullptr;

    // Start-up and roles.
    void FormCreate();
    void FormShow();
    void processparams();
    void hostpress();
    void joinpress();
    void sockInfo(TSock *sender, TSock::TSocketInfo info, const QString &msg);
    void FormClose();
    void Exit1Click();

    // Connection and dispatch.
    void sockRead(TSock *sender, qsizetype count);
    void Timer1Timer();
    void processsocktimer();
    void sendtohost(const QString &text);
    void sendloginfo(const QString &rest);
    void newplayerinfo(const QString &rest);
    void playerdisconnected(const QString &rest);
    void gamefull(const QString &rest);
    void havewrongversion(const QString &rest);
    void wrongversion(const QString &rest);

    // Chat pane.
    ChatPane *chatpane = nullptr;
    void addlinetochat(const QString &line, int colour);

    // Drawing area.
    DrawingBoard *image_main = nullptr;

    // Sound cues ("entered", "turn", "cat3", ...).
    void playsounds(const QString &cue);

    // Colours of system lines.
    static constexpr int systemcolour = 0x008AAAAC;
    static constexpr int bluecolour = 0x00FF0000;
    static constexpr int watchcolour = 0x0078989C;

signals:
    // The window closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void buildMenus();
    bool shown = false;
    bool closing = false;
};
