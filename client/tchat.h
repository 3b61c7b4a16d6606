#pragma once

#include "protocol/drain.h"
#include "protocol/receivequeue.h"
#include "protocol/tsock.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMessageBox;
class QTimer;
class QToolButton;
class AnimatedPicture;
class ChatPane;
class DrawingBoard;
class FlatButton;
class FlatPanel;
class TiledBackground;
class TServer;
class Tspylist;
class Tgamestartform;

// The main window: the player's side of the game.
//
// Members are grouped by topic; each topic's handlers live in client/tchat_<topic>.cpp.
class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tchat(QWidget *parent = nullptr);
    ~Tchat() override;

    // ---- Windows this one talks to; set by the program's start before the window shows.
    TServer *server = nullptr;
    QWidget *downloadWindow = nullptr;
    Tspylist *spylist = nullptr;
    Tgamestartform *gamestartform = nullptr;
    // Command-line parameters (without the program name).
    QStringList params;

    // ---- Sockets: the game connection and the silent lobby link.
    TSock sock;
    TSock Sock11;

    // ---- Client state.
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

    // ---- Menus: File, Options, View, Help.
    QMenu *File1 = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *Options1 = nullptr;
    QAction *JustWatch1 = nullptr;
    QAction *PlaySounds1 = nullptr;
    QAction *PlayChatterSounds1 = nullptr;
    QAction *TextColor1 = nullptr;
    QMenu *TextSize1 = nullptr;
    QAction *N8 = nullptr, *N10 = nullptr, *N12 = nullptr, *N14 = nullptr;
    QAction *ScrollChatOff1 = nullptr;
    QAction *ClearMainChat1 = nullptr;
    QAction *ResetScreenLocation1 = nullptr;
    QMenu *View1 = nullptr;
    QAction *SpyList1 = nullptr;
    QAction *SnapShots1 = nullptr;
    QAction *PhraseLists1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *About1 = nullptr;

    // ---- The board: one fixed panel, centred on the tiled background.
    static constexpr int boardWidth = 789;
    static constexpr int boardHeight = 542;
    TiledBackground *background = nullptr;
    QWidget *panel_board1 = nullptr;

    // ---- Top panel: the answer lines, start and pass, the bar with category, scores and clock.
    FlatPanel *Panel_top = nullptr;
    QLabel *label_fullanswer = nullptr;
    QLabel *label_answer = nullptr;
    FlatButton *button_start = nullptr;
    FlatButton *button_pass = nullptr;
    FlatPanel *FlatPanel2 = nullptr;
    QLabel *image_cat = nullptr;
    std::array<QPixmap, 7> image_catagories; // banner n names category n
    QLabel *playtoscore = nullptr;
    QLabel *timeperturn = nullptr;
    QLabel *image_timer = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *label_timer = nullptr;

    // ---- Drawing area, with the panels laid over it.
    QWidget *panel_drawing = nullptr;
    DrawingBoard *image_main = nullptr;
    FlatPanel *panel_winner1 = nullptr;
    AnimatedPicture *image_winner = nullptr;
    QLabel *label_winner = nullptr;
    FlatPanel *panel_pickcatagory = nullptr;
    QLabel *label_pickcatagory = nullptr;
    QLabel *label_pickcatagory1 = nullptr;
    std::array<FlatButton *, 7> button_cat{}; // indexed by category (the button's tag)

    // ---- Bottom area: the guessers' answer panel and the drawer's tool bar.
    FlatPanel *panel_answer = nullptr;
    QLabel *label_answerlabel = nullptr;
    QLineEdit *edit_answer = nullptr;
    QListWidget *listbox_myguessed = nullptr;
    FlatPanel *panel_toolbar = nullptr;
    QListWidget *listbox_guessed = nullptr;
    // Brush tools: the spot on the tool bar and what stands in it.
    QWidget *panel_tools = nullptr;
    QToolButton *ColorButton = nullptr;
    QLineEdit *penw = nullptr;
    QWidget *UpDown1 = nullptr;
    QToolButton *clear = nullptr;
    // A new turn's brush: black, width "3".
    void resetbrush();

    // ---- Score panel: ten seat rows (index 1..10), marks and the turn line.
    FlatPanel *panel_score = nullptr;
    QLabel *Image2 = nullptr;
    std::array<QLabel *, 11> label_playername{};
    std::array<QLabel *, 11> label_score{};
    std::array<QLabel *, 11> image_eyes{};
    QLabel *image_arrow = nullptr;
    QLabel *label_adrawer = nullptr;
    QLabel *label_aguesser = nullptr;
    QLabel *label_turn = nullptr;
    FlatButton *button_snapshot = nullptr;
    static constexpr int nameRowY[11] = {0, 19, 36, 53, 70, 87, 103, 120, 137, 154, 171};
    static constexpr int scoreRowY[11] = {0, 18, 35, 51, 68, 85, 101, 118, 135, 151, 168};

    // ---- Start-up and roles.
    void FormCreate();
    void FormShow();
    void processparams();
    void hostpress();
    void joinpress();
    void sockInfo(TSock *sender, TSock::TSocketInfo info, const QString &msg);
    void FormClose();
    void Exit1Click();

    // ---- Connection and dispatch.
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
    // The open "Game is full" box; its closing closes the window.
    QPointer<QMessageBox> fullbox;

    // ---- Score panel.
    void refreshplayerlist(const QString &rest);
    void gamestats(const QString &rest);
    void teamscore(const QString &rest);
    void justwatching(const QString &rest);
    // The name caption of a seat; empty for a number that has no seat.
    QString seatname(int number) const;
    void setscore(int number, const QString &score);

    // ---- Turn display.
    int secondsleft = 0;
    QString roundcaption;
    bool pendown = false;
    QTimer *timer2 = nullptr;
    int timer2mode = 0; // the clock's mode: 0 pause, 1 drawing turn
    void startthegame(const QString &rest);
    void pickcatagory(const QString &rest);
    void getnextplayer(const QString &rest);
    void givedraweranswer(const QString &rest);
    void guessed(const QString &rest);
    void myguessed(const QString &rest);
    void veryclose(const QString &rest);
    void updateanswer(const QString &rest);
    void passed(const QString &rest);
    void correctanswer(const QString &rest);
    void winner(const QString &rest);
    void timer2Timer();
    void restartclock(int mode, int seconds);
    // Seconds per turn from the game-start dialog's "timeperturn" field; 120 when it has none.
    int dialogTurnTime() const;
    // Raises every category button.
    void releasecategories();

    // ---- Chat pane.
    ChatPane *chatpane = nullptr;
    void addlinetochat(const QString &line, int colour);

    // ---- Sound cues ("entered", "turn", "cat3", ...).
    void playsounds(const QString &cue);
    // Every cue of the game display goes through here.
    void eventcue(const QString &cue);

    // ---- What the display did, kept while `recordlog` is set (tests read it).
    bool recordlog = false;
    QStringList cuelog;
    QList<QPair<QString, int>> linelog; // chat lines and their colours

    // ---- Settings file.
    void loadinifile();

    // ---- Colours of system lines (00BBGGRR).
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
    void buildBoard();
    void buildTopPanel();
    void buildDrawingArea();
    void buildBottomArea();
    void buildScorePanel();
    void buildChatColumn();
    bool shown = false;
    bool closing = false;
};
