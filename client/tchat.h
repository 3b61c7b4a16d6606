#pragma once

#include "protocol/drain.h"
#include "protocol/receivequeue.h"
#include "protocol/tsock.h"
#include "board/strokebatch.h"

#include <QMainWindow>
#include <QStringList>
#include <array>

class QAbstractButton;
class QAction;
class QColorDialog;
class QButtonGroup;
class QLineEdit;
class QMenu;
class QToolButton;
class ColorButton;
class UpDown;
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

    // ---- Drawing board: the drawer's strokes and the relayed ones (client/tchat_board.cpp).
    bool pendown = false;
    StrokeBatch strokebatch; // `strokepoints` and `strokecount`
    ::ColorButton *ColorButton = nullptr;
    QLineEdit *penw = nullptr;
    ::UpDown *UpDown1 = nullptr;
    QToolButton *clear = nullptr;
    void image_mainMouseDown(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void image_mainMouseMove(Qt::MouseButtons held, int x, int y);
    void image_mainMouseUp(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void clearClick();
    void moveit(const QString &rest);
    void drawit(const QString &rest);
    void clearmain(const QString &rest);
    // Sets both pens back to black and width "3" (start of a turn).
    void resetbrush();

    // ---- Answers, categories, pass and the game start (client/tchat_board.cpp).
    QWidget *panel_pickcatagory = nullptr;
    std::array<QAbstractButton *, 7> button_cat{}; // indexed by category (the button's tag)
    QButtonGroup *catagorygroup = nullptr;
    QWidget *panel_answer = nullptr;
    QLineEdit *edit_answer = nullptr;
    QAbstractButton *button_pass = nullptr;
    QAbstractButton *button_start = nullptr;
    // A key typed into edit_answer; true when the key was used up (Enter).
    bool edit_answerKeyPress(int key);
    void button_cat1Click(QAbstractButton *sender);
    void button_passClick();
    void StartGame1Click();
    void button_startClick();
    void startgame();
    // Raises every category button.
    void releasecategories();

    // Sound cues ("entered", "turn", "cat3", ...).
    void playsounds(const QString &cue);

    // --- Chat, chatter sounds and the settings file (tchat_chat.cpp, tchat_sound.cpp,
    // tchat_settings.cpp) ---
    void buildChatMenus();
    void chatrecieved(const QString &text);
    void sendit();
    QAction *TextColor1 = nullptr;
    QColorDialog *ColorDialog = nullptr;
    void TextColor1Click();
    // Chatter sounds: the menu on b_phrase10; entry n (tag n) is Cancel1 (0) or wave1 ... wave20.
    QMenu *popup_sounds = nullptr;
    QList<QAction *> chattersounds;
    void b_phrase10Click();
    void wave20Click(int tag);
    void playasound(const QString &text);
    QAction *PlaySounds1 = nullptr;
    QAction *PlayChatterSounds1 = nullptr;
    void PlaySounds1Click();
    void PlayChatterSounds1Click();
    // Settings file orvanelobby.ini, section Quillet.
    int snapcount = 0;
    QAction *ResetScreenLocation1 = nullptr;
    QString settingsfile() const;
    void loadinifile();
    void saveinifile();
    void saveplacement();
    void ResetScreenLocation1Click();
    void FormResize();
    // --- end of chat, sounds and settings ---

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
    void resizeEvent(QResizeEvent *e) override;

private:
    void buildMenus();
    void buildBoardControls();
    void buildBoardStandIns();
    bool shown = false;
    bool closing = false;
};
