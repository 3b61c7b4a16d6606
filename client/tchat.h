#pragma once

#include "client/core/playergame.h"
#include "client/core/playerlink.h"
#include "client/tchatgeometry.h"
#include "features/playersettings.h"
#include "widgets/zoom.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QColorDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMessageBox;
class QTimer;
class QToolButton;
class AnimatedPicture;
class ColorButton;
class UpDown;
class ChatPane;
class DrawingBoard;
class StrokeSender;
class FlatButton;
class FlatPanel;
class TiledBackground;
class Tspylist;
class Tphrases;
class Tsnapshot;
class Tgamestartform;
class LocalHost;
class Podium;

// The main window: the player's side of the game.
//
// Members are grouped by topic; each topic's handlers live in client/tchat_<topic>.cpp.
class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tchat(QWidget *parent = nullptr);
    ~Tchat() override;

    static inline const QString title = QStringLiteral("Quillet - Orvane Software");

    // The program's other windows and its host, which the window shows or asks; set before it shows.
    // The windows a player may never open are asked for when first shown, so they are made then.
    struct Companions
    {
        std::function<QWidget *()> downloadWindow = nullptr;
        std::function<QWidget *()> helpWindow = nullptr;
        std::function<QWidget *()> aboutWindow = nullptr;
        Tspylist *spylist = nullptr;
        std::function<Tphrases *()> phrases = nullptr;
        Tgamestartform *gamestartform = nullptr;
        std::function<Tsnapshot *()> snapshot = nullptr;
        LocalHost *localhost = nullptr; // none on a copy that may only join
    };
    void attach(const Companions &companions);
    // The command line without the program name: a solo game when empty, else the name, the
    // host's address and "true" to host.
    void setparams(const QStringList &parameters);
    // Starts the copy's role from the command line; runs by itself once the window first shows.
    void processparams();

    PlayerGame *game() const { return playergame; }
    PlayerLink *link() const { return playerlink; }

    // A line in the chat pane: code "+" text, in a colour (00BBGGRR).
    void addlinetochat(const QString &line, int colour);
    // A system line whose last words are a link to `target`, in a colour (00BBGGRR).
    void addlinkline(const QString &text, const QString &linkText, const QString &target, int colour);
    // The settings file, and a failed write of it, reported once.
    QString settingsfile() const;
    void settingswritten(bool ok);
    // "Invite Friends..." is offered only while this copy hosts.
    void setinviteavailable(bool on);
    // Help / About, also from the help window.
    void aboutClicked();

signals:
    // The window closed: the program ends.
    void closed();
    // File / "Host a Game...", "Join a Game..." and "Invite Friends...": the program does them.
    void hostGameRequested();
    void joinGameRequested();
    void inviteRequested();
    // A game link clicked in the chat pane.
    void gameLinkOpened(const QString &link);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    // ---- The windows and the host this one talks to.
    Companions with;
    QStringList params;
    // A companion window, made if it was not yet; null when the program has none.
    template <class Window> static Window *made(const std::function<Window *()> &window)
    {
        return window ? window() : nullptr;
    }
    // Shows a small window centred on this one, in front; none is ignored.
    void showCentred(QWidget *window);

    // ---- The player's game: who this player is, the turn and its clock; and its connections.
    PlayerGame *playergame = nullptr;
    PlayerLink *playerlink = nullptr;
    int defaultwidth = 0;
    int defaultheight = 0;

    // ---- Menus: File, Options, View, Help.
    QMenu *fileMenu = nullptr;
    QAction *startGameAction = nullptr;
    QAction *exitAction = nullptr;
    QMenu *optionsMenu = nullptr;
    QAction *justWatchAction = nullptr;
    // The chat pane's, sound and settings items join Options: see those blocks below.
    QMenu *viewMenu = nullptr;
    QAction *spyListAction = nullptr;
    QAction *snapShotsAction = nullptr;
    QAction *phraseListsAction = nullptr;
    QMenu *helpMenu = nullptr;
    QAction *contentsAction = nullptr;
    QAction *aboutAction = nullptr;

    // ---- The board: one fixed panel, centred on the tiled background.
    TiledBackground *background = nullptr;
    QWidget *boardPanel = nullptr;

    // ---- Top panel: the answer lines, start and pass, the bar with category, scores and clock.
    FlatPanel *topPanel = nullptr;
    QLabel *label_fullanswer = nullptr;
    QLabel *label_answer = nullptr;
    // button_start and button_pass: see the game start block below.
    FlatPanel *gameBar = nullptr;
    QLabel *image_cat = nullptr;
    std::array<QPixmap, 7> image_categories; // banner n names category n
    QLabel *playtoscore = nullptr;
    QLabel *timeperturn = nullptr;
    QLabel *image_timer = nullptr;
    QLabel *timeCaption = nullptr;
    QLabel *label_timer = nullptr;

    // ---- Drawing area, with the panels laid over it.
    QWidget *panel_drawing = nullptr;
    DrawingBoard *image_main = nullptr;
    FlatPanel *winnerPanel = nullptr;
    AnimatedPicture *image_winner = nullptr;
    QLabel *label_winner = nullptr;
    // panel_pickcatagory and button_cat: see the categories block below.
    QLabel *label_pickcatagory = nullptr;
    QLabel *label_pickcatagory1 = nullptr;
    // The picker's seconds left, under the category buttons.
    QLabel *label_pickclock = nullptr;

    // ---- Bottom area: the guessers' answer panel and the drawer's tool bar.
    // panel_answer and edit_answer: see the answers block below.
    QLabel *label_answerlabel = nullptr;
    QListWidget *listbox_myguessed = nullptr;
    FlatPanel *panel_toolbar = nullptr;
    QListWidget *listbox_guessed = nullptr;
    // The brush tools' spot on the tool bar (ColorButton, penw, brushWidthArrows, clear: see the drawing
    // board block below).
    QWidget *panel_tools = nullptr;

    // ---- Score panel: ten seat rows (index 1..10), marks and the turn line.
    FlatPanel *panel_score = nullptr;
    QLabel *scoreTitle = nullptr;
    std::array<QLabel *, 11> label_playername{};
    std::array<QLabel *, 11> label_score{};
    std::array<QLabel *, 11> image_eyes{};
    QLabel *image_arrow = nullptr;
    QLabel *label_adrawer = nullptr;
    QLabel *label_aguesser = nullptr;
    QLabel *label_turn = nullptr;
    FlatButton *button_snapshot = nullptr;

    // ---- Start-up and roles.
    void FormCreate();
    void FormShow();
    void hostpress();
    void joinpress();
    void contentsClicked();
    // The host closed the connection: a join that never got in, or the game gone.
    void hostclosed();
    void FormClose();
    void exitClicked();

    // ---- Hosting and joining from the window (client/tchat_join.cpp): the File items, whose work
    // the program wires; the announcement of a hosted game; why a join failed.
    QAction *hostGameAction = nullptr;
    QAction *joinGameAction = nullptr;
    QAction *inviteFriendsAction = nullptr;
    void startannouncing();
    // A connect that failed, with the socket's error text.
    void connectfailed(const QString &error);
    // Says in the chat pane why the join failed; the window stays.
    void joinfailed(const QString &why);

    // ---- The connection's end.
    void gamefull();
    // The open "Game is full" box.
    QPointer<QMessageBox> fullbox;
    // The game went away under this player (removed, the host ended it, the connection broke):
    // the window stays with the board and chat as they were, says why, and keeps only what needs
    // no connection; File / Host a Game... and Join a Game... start again from here.
    void leftgame(const QString &why);

    // ---- Score panel.
    // The score panel and the spy list render the table.
    void showseat(int number);
    void addspyline(int number, const QString &name);
    void removespyline(int number, const QString &name);

    // ---- Turn display (client/tchat_turn.cpp): renders the turn the game tells of.
    void connectTurn();
    // Shows and hides the controls as the game's controls() says.
    void showcontrols();
    // Sets the text of label_fullanswer or label_answer. A line too wide for the panel first
    // gives up the air between its letters, then shrinks, so the whole phrase or mask stays seen.
    void setanswerline(QLabel *line, const QString &text);
    // The turn line, the phrase lines, the category banner and the winner, as the game has them.
    void showturn();
    void movemark(PlayerGame::Mark mark, int seat);
    // The seats the arrow and the two marks were moved to (0: where the layout put them).
    std::array<int, 3> markseat{};
    // The clock's bar width, in board units.
    int timerbar = 0;
    // The whole board scales with the window, keeping its proportions.
    Zoom zoom;
    void rezoom();
    void addguess(bool mine, const QString &line);
    // Shows `secondsleft` on the clock and its bar.
    void showclock();
    // Odd rows black for a team game, maroon otherwise.
    void setteamcolours();
    // The play-to caption and the time per turn.
    void showoptions();

    // ---- The podium at the game's end (client/tchat_podium.cpp): ranking, turns with their last
    // drawings, and Play Again.
    Podium *podium = nullptr;
    void connectPodium();
    void showpodium(const PlayerGame::Controls &c);

    // ---- Snapshots of the finished drawing (client/tchat_snapshot.cpp).
    void connectSnapshots();
    // Stamps roundcaption on the backing picture and saves it as the next numbered snapshot.
    void button_snapshotClick();
    // Shows the snapshot browser, centred on this window.
    void snapShotsClicked();

    // ---- Chat pane.
    ChatPane *chatpane = nullptr;

    // ---- Drawing board: the drawer's strokes and the relayed ones (client/tchat_board.cpp).
    // The pen's press, move and release rules and what they send.
    StrokeSender *strokesender = nullptr;
    ::ColorButton *ColorButton = nullptr;
    QLineEdit *penw = nullptr;
    ::UpDown *brushWidthArrows = nullptr;
    QToolButton *clear = nullptr;
    // Undo takes back the drawer's last stroke; the eraser draws in the board's white until a
    // colour is chosen again. Ctrl+Z and Ctrl+E do the same.
    QToolButton *undoButton = nullptr;
    QToolButton *eraserButton = nullptr;
    void undoClick();
    // The colour the pen draws in now: the brush's, or white for the eraser.
    int pencolour() const;
    // Paints the drawer's remaining strokes again after an undo.
    void redrawownstrokes();
    void image_mainMouseDown(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void image_mainMouseMove(Qt::MouseButtons held, int x, int y);
    void image_mainMouseUp(Qt::MouseButton button, Qt::MouseButtons held, int x, int y);
    void clearClick();
    // Sets both pens back to black and width "3" (start of a turn).
    void resetbrush();

    // ---- Answers, categories, pass and the game start (client/tchat_board.cpp).
    QWidget *panel_pickcatagory = nullptr;
    std::array<QAbstractButton *, 7> button_cat{}; // indexed by category (the button's tag)
    QButtonGroup *categorygroup = nullptr;
    QWidget *panel_answer = nullptr;
    QLineEdit *edit_answer = nullptr;
    QAbstractButton *button_pass = nullptr;
    QAbstractButton *button_start = nullptr;
    // A key typed into edit_answer; true when the key was used up (Enter).
    bool edit_answerKeyPress(int key);
    void categoryClicked(QAbstractButton *sender);
    void button_passClick();
    void startGameMenuClicked();
    void button_startClick();
    // Raises every category button.
    void releasecategories();

    // ---- Sound cues ("entered", "turn", "cat3", ...).
    void playsounds(const QString &cue);

    // --- Chat, chatter sounds and the settings file (tchat_chat.cpp, tchat_sound.cpp,
    // tchat_settings.cpp) ---
    void buildChatMenus();
    void sendit();
    // Limits the chat entry so that the host's relay of a line, with this player's name and the
    // line's colour, fits one message.
    void limitchatline();
    QAction *textColorAction = nullptr;
    QColorDialog *ColorDialog = nullptr;
    void textColorClicked();
    // Chatter sounds: the menu on b_phrase10; entry n (tag n) is cancelSoundAction (0) or wave1 ... wave20.
    QMenu *popup_sounds = nullptr;
    QList<QAction *> chattersounds;
    void b_phrase10Click();
    void chatterSoundClicked(int tag);
    QAction *playSoundsAction = nullptr;
    QAction *playChatterSoundsAction = nullptr;
    void playSoundsClicked();
    void playChatterSoundsClicked();
    // The two sound switches' ticks show the game's switches.
    void showsoundswitches();
    // Settings file orvanelobby.ini, section Quillet: the values last read, and the placement last
    // read or saved (saveplacement writes only when the window has left it).
    PlayerSettings playersettings;
    int snapcount = 0;
    // Set once loadinifile has run: before that, nothing but a changed switch is written.
    bool inifileread = false;
    QAction *resetScreenLocationAction = nullptr;
    void loadinifile();
    void saveinifile();
    // Saves after one setting changed: the whole set once the file has been read, else that key.
    void savesetting(PlayerSettings::Key key);
    void saveplacement();
    bool settingsfailurereported = false;
    void resetScreenLocationClicked();
    void FormResize();
    // --- end of chat, sounds and settings ---

    // ---- Just watching, removal and the spy list (client/tchat_watch.cpp).
    // The seat names' menu; its tag (the seat it opened on) is kickseat.
    QMenu *popup_Kick = nullptr;
    QAction *removeFromGameAction = nullptr;
    QAction *setToJustWatchAction = nullptr;
    QAction *unsetJustWatchAction = nullptr;
    int kickseat = 0;
    // Arrivals and departures seen per seat; the menu acts only while the seat's count is the one
    // it opened with, so a newcomer in that seat is never the one removed or set to watch.
    int kickseatchanges = 0;
    bool kickseatunchanged() const;
    void buildWatchMenus();
    void justWatchClicked();
    // The seat menu opens on a seat's name.
    void seatMenuPopup(QLabel *seatname);
    void removeFromGameClicked();
    void setToJustWatchClicked();
    void unsetJustWatchClicked();
    void spyListClicked();

    // ---- Phrase buttons and their editor (client/tchat_phrases.cpp). The game holds the phrases;
    // a button's hint shows its phrase as plain text.
    std::array<QToolButton *, 10> b_phrase{}; // b_phrase1 ... b_phrase9, index 1..9
    void buildPhraseButtons();
    // Phrase button n (1..9) was clicked.
    void phraseClicked(int n);
    void phraseListsClicked();
    // The editor's "Done": the nine phrases in force from now on, also in the settings file.
    void setphrases(const QStringList &list);
    // Button n's phrase (1..9) and its hint.
    void setphrase(int n, const QString &phrase);

    // File, Options, View and Help, from one table.
    void buildMenus();
    void buildBoard();
    void buildTopPanel();
    void buildDrawingArea();
    void buildBottomArea();
    void buildScorePanel();
    void buildChatColumn();
    void buildBoardControls();
    bool shown = false;
    bool closing = false;
};
