#pragma once

#include "client/core/gamerecord.h"
#include "client/core/turnclock.h"
#include "protocol/playername.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>

class QTimer;

// Where the player's game sends its messages: the connection to the host.
class Outbox
{
public:
    virtual ~Outbox() = default;
    virtual void send(const QString &message) = 0;
};

// The player's game apart from its window: who this player is, the turn and the turn clock. The
// window renders it and is told of changes through signals.
class PlayerGame : public QObject
{
    Q_OBJECT
public:
    explicit PlayerGame(QObject *parent = nullptr);

    // Messages to the host go to the outbox; none leave without one.
    void setoutbox(Outbox *box) { outbox = box; }
    void send(const QString &message);

    // ---- Start-up: the name to log in with, the host's address, a solo game.
    void setstartup(const QString &name, const QString &address, bool solo);
    void setloginname(const QString &name) { st.startup.loginname = name; }
    struct Startup
    {
        QString name;    // the player's name as given at the start
        QString address; // the host's address
        bool solo = false;
        QString loginname; // the name the login sends
    };
    const Startup &startup() const { return st.startup; }

    // ---- Who this player is.
    int mynumber() const { return st.mynumber; }  // own number from the login, 0 before
    bool loggedin() const { return st.loggedin; } // from the login until this player's own departure
    // This player has the hosting player's say: it runs the host, or leads the table.
    bool hostsay() const { return st.hostsay; }
    // The game went away under this player (removed, the host ended it, the connection broke).
    bool gameleft() const { return st.gameleft; }
    // An error on the established connection: its close is a lost connection, not the host's end.
    bool connectionbroken() const { return st.connectionbroken; }
    void connectionerror() { st.connectionbroken = true; }

    // ---- The table: ten seats (1..10), each with its name, score and watching mark, and the
    // spies beyond them (11..15).
    static inline const QString waiting = playername::emptyseat;
    struct Seat
    {
        QString name = waiting;
        QString score = QStringLiteral("0"); // as the host wrote it
        bool watching = false;
        int changes = 0; // arrivals and departures seen, so a menu can tell a newcomer
    };
    struct Spy
    {
        int number = 0;
        QString name;
    };
    static bool isseat(int number) { return number >= 1 && number <= 10; }
    // A seat by its number (1..10).
    const Seat &seat(int number) const { return st.seats[isseat(number) ? number : 0]; }
    // It is this player's turn: to pick, to draw, to pass and to wipe the board.
    bool drawing() const { return st.mynumber == st.drawernumber; }
    // The name of a seat; empty for a number that has no seat.
    QString seatname(int number) const;
    // The score the panel shows for a seat: the host's, but nothing beside a seat its player left.
    QString shownscore(int number) const;

    // ---- The game's options as the panel shows them.
    const QString &playtocaption() const { return st.playtocaption; } // "Play to Score: N"
    bool teamgame() const { return st.teamgame; } // odd rows black, as the teams are coloured
    // The game's seconds per turn, from CMD_startgame or, for a late joiner, CMD_gamestats.
    int turnseconds() const { return st.turnseconds; }
    // The options of the last game start seen, hints from the CMD_hints that follows it; Play Again
    // sends them again. A copy that joined during a game has its play-to score and seconds from
    // CMD_gamestats, and no hints.
    struct StartOptions
    {
        bool team = false;
        int playto = 20;
        int seconds = 120;
        bool hints = false;
        bool operator==(const StartOptions &) const = default;
    };
    const StartOptions &startoptions() const { return st.options; }
    // The seat that may start the next game: the lowest one taken (0 when none is). On a hosting
    // copy that is its own seat, 1.
    int leaderseat() const;

    // ---- The record of the game: its finished turns and, once it is won, its ranking.
    const GameRecord &record() const { return st.record; }

    // ---- Colours of system lines (00BBGGRR).
    static constexpr int systemcolour = 0x008AAAAC;
    static constexpr int bluecolour = 0x00FF0000;
    static constexpr int watchcolour = 0x0078989C;

    // A whole message from the host, handed to the handler its command word names.
    void handle(const QString &message);
    // The command words handle() dispatches, in its order.
    static QStringList dispatchedwords();

    // ---- The turn: what it shows changes together, with turnChanged().
    struct Turn
    {
        QString line;       // the turn line
        QString fullanswer; // the drawer's phrase
        QString answer;     // the mask, or the phrase once the turn is over
        int category = -1;  // the category banner, -1: none
        QString winner;     // the winner's name
        // The score panel's rows the arrow, the drawer's "+1" and the guesser's "+2" point at.
        std::array<int, 3> marks{1, 1, 1};
    };
    const Turn &turn() const { return st.turn; }
    int drawernumber() const { return st.drawernumber; } // who picks or draws, 0 when nobody does
    // "date: drawer-PHRASE" of the finished turn, the caption of its snapshot.
    const QString &roundcaption() const { return st.roundcaption; }
    // The turn's marks, as Turn::marks indexes them.
    enum class Mark { arrow, drawer, guesser };

    // ---- Where the game is, as the host runs it: no turn (before the first pick, between games),
    // the drawer picking, drawing, the turn over with its phrase shown, and over with a guesser
    // credited.
    enum class Phase { idle, picking, drawing, over, solved };
    Phase phase() const { return st.phase; }

    // ---- Which controls show: the turn's from the phase and this player's part in the turn (the
    // drawer or not) in one table, the rest from the role at the table and the player's clicks.
    struct Controls
    {
        bool start = false;      // the Start button
        bool startmenu = true;   // "Start Game"
        bool startform = false;  // Start opens the start form; before the login it says why not
        bool pick = false;       // the category panel
        bool toolbar = false;    // the drawer's tool bar
        bool answer = false;     // the guessers' answer panel
        bool answerentry = true; // its entry line: spies only read the guesses
        bool pass = false;
        bool fullanswer = true; // the drawer's phrase line
        bool snapshot = false;
        bool winner = false;
        bool marks = false;    // "+1" and "+2" beside the guesser and the drawer
        bool justwatch = true; // Options / Just Watch
        bool removal = false;  // removing players and setting them to watch
        // The seat menu's "Remove From Game", per seat: a seated player the say may remove.
        std::array<bool, 11> removable{};
        bool chat = true;       // chat entry, smilies, phrase and chatter-sound buttons
        bool podium = false;    // the end-of-game podium over the board
        bool playagain = false; // its Play Again, for the player who may start the next game
        bool operator==(const Controls &) const = default;
    };
    Controls controls() const;
    // This copy now runs the host: its player holds the hosting player's controls.
    void hostingstarted();
    // The game went away under this player, for the reason given: the chat says why, and what
    // needs the game goes.
    void leavegame(const QString &why);
    // The Start button and "Start Game" on or off; the start form being up takes only the button.
    void offerstart(bool on);
    void startformshown();

    // ---- The turn clock: 1 s ticks counting the seconds left of a pause or a drawing turn.
    int secondsleft() const { return st.secondsleft; }
    turnclock::Mode clockmode() const { return st.clockmode; }
    bool clockrunning() const;
    // The clock's tick (each second while it runs).
    void turnClockTick();
    void stopclock();

    // ---- The player's requests, with who may send what and when.
    // An answer typed in the guessers' panel.
    void answerit(const QString &text);
    // The drawer picked a category: false when the pick was not this player's to make.
    bool pickit(int category);
    void passit();
    // False when the board was not this player's to wipe.
    bool wipeit();
    // The game options as the start form holds them.
    void startgame(bool team, int playto, int seconds, bool hints = false);
    // Play Again on the podium: a new game with the last start's options. Once sent, the button
    // goes until the host's answer.
    void startagain();
    void closepodium();
    // "Just Watch" for this player: it asks to watch, or to play again while it watches.
    void justwatch();
    // The hosting player sets a seat to watch or back to play.
    void setwatch(int seat, bool on);
    void kicking(int number);
    // A line typed in the chat entry: false before the login, when the entry keeps it. Any other
    // "/" text than "/me" is a command this program does not know: nothing is sent.
    bool chatit(const QString &text, const QString &colour);
    // A phrase button's action line. After one, the buttons rest for a moment, so they can't flood
    // the chat: a click in the pause is lost, not kept for later.
    void phraseit(const QString &action, const QString &colour);
    bool phraseready() const { return st.phraseready; }
    static constexpr int phrasepause = 1500; // milliseconds
    void soundit(int tag);

    // ---- The player's switches and phrases.
    // The game's sound cues are played.
    bool playsounds() const { return st.playsounds; }
    void setplaysounds(bool on) { st.playsounds = on; }
    // Chatter sounds are played, or else shown as a line.
    bool playchattersounds() const { return st.playchattersounds; }
    void setplaychattersounds(bool on) { st.playchattersounds = on; }
    // The nine phrase buttons' phrases, button n (1..9) at n - 1.
    static constexpr int phrasecount = 9;
    const QString &phrase(int n) const { return st.phrases[std::clamp(n, 1, phrasecount) - 1]; }
    QStringList phrases() const { return {st.phrases.begin(), st.phrases.end()}; }
    void setphrase(int n, const QString &text);

signals:
    // The host said the game is full.
    void full();
    // What shows changed: apply controls().
    void controlsChanged();
    // The turn line, the phrase lines, the category or the winner changed.
    void turnChanged();
    // A guess line for everyone's list or this player's own list.
    void guessAdded(bool mine, const QString &line);
    // The lists of guesses emptied: a new drawing turn.
    void guessesCleared();
    // The host's message moves the game into a phase: a game starts (idle: the Just Watch tick
    // goes), a pick begins (picking: no stroke of this player is open, every category button comes
    // up), a drawing turn begins (drawing: the pen back to black and width 3), the turn ends
    // (over, solved). It comes as the message is read: a field further on that does not read
    // leaves the phase where it was.
    void phaseEntered(PlayerGame::Phase phase);
    // A chatter sound to play.
    void soundPlayed(const QString &name);
    // A line for the chat pane: code "+" text, and its colour.
    void chatLine(const QString &line, int colour);
    // A relayed stroke: the pen set down, a run of points, the board wiped.
    void strokeStarted(QPoint p, const QColor &colour, int width);
    void strokeDrawn(const QColor &colour, int width, const QPoint *points, qsizetype count);
    void boardWiped();
    // The host said the game paused: nobody is left who can draw.
    void paused();
    // A sound cue of the game ("entered", "turn", "cat3", ...).
    void cue(const QString &name);
    // The host gave this player its number.
    void loggedIn();
    // The host announced this player itself: the copy is in the game.
    void connected();
    // The host reported this player's own departure: it was removed.
    void removed();
    // The play-to caption, the seconds per turn or the kind of game (team or not) changed.
    void optionsChanged();
    // A seat's name, score or watching mark changed.
    void seatChanged(int number);
    void spyAdded(int number, const QString &name);
    void spyRemoved(int number, const QString &name);
    // The seconds left or the clock's mode changed.
    void clockChanged();
    // The record grew: a turn ended and went in as that turn of the game (0 for the first), the
    // board holding its final drawing; or, with -1, the game was won and the record has its
    // ranking.
    void recorded(int turn);

private:
    using Handler = void (PlayerGame::*)(const QString &);
    struct Route
    {
        const QString *word;
        Handler handler;
    };
    // The host's messages to their handlers, in order; the first exact, case-sensitive match
    // takes the message. Words that match no row are dropped.
    static const Route dispatchtable[];

    // ---- Host messages: the text after the command word and its "+". A field that does not
    // read raises the conversion error; what was done before it stays done.
    void sendloginfo(const QString &rest);
    void newplayerinfo(const QString &rest);
    void playerdisconnected(const QString &rest);
    void havewrongversion(const QString &rest);
    void wrongversion(const QString &rest);
    // A chat or action line: its text and, after the last "|", its colour (white when it does not
    // read).
    void chatreceived(const QString &text);
    void refreshplayerlist(const QString &rest);
    // Strokes relayed by the host. One that does not read is dropped quietly: nothing the player
    // could do about it. This player's own strokes are on its board already.
    void moveit(const QString &rest);
    void drawit(const QString &rest);
    void clearmain(const QString &rest);
    void gamestats(const QString &rest);
    void teamscore(const QString &rest);
    void justwatching(const QString &rest);
    // The game has no room for this player.
    void gamefull(const QString &rest);

    // The turn's messages.
    void startthegame(const QString &rest);
    void hintson(const QString &rest);
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
    // The host's seconds left: a copy that joined during the turn sets its clock by it.
    void updatetime(const QString &rest);
    // A chatter sound: played, or shown as a line when the player turned them off.
    void playasound(const QString &rest);

    struct State
    {
        int mynumber = 0;
        bool loggedin = false;
        // This copy runs the host: it keeps the hosting player's say whatever the table does.
        bool hosting = false;
        bool hostsay = false;
        // A game runs at the host: from its start or the first turn seen until the winner or a
        // pause.
        bool gamerunning = false;
        Startup startup;
        bool gameleft = false;
        bool connectionbroken = false;
        std::array<Seat, 11> seats;
        QList<Spy> spies;
        QString playtocaption;
        bool teamgame = false;
        int turnseconds = 120;
        StartOptions options;
        GameRecord record;
        bool againsent = false;
        int drawernumber = 0;
        // A pick seen since the login: until then this copy joined in the middle of a turn.
        bool pickseen = false;
        QString roundcaption;
        Turn turn;
        Phase phase = Phase::idle;
        // What the player's clicks and the game's end change within a phase.
        bool picked = false;    // the category was picked: the panel goes until the next pick
        bool passed = false;    // a pass was asked for in this drawing turn
        bool won = false;       // the winner was told, until the next turn or game
        bool podium = false;    // up from the win until closed or the next game
        bool start = false;     // the Start button
        bool startmenu = true;  // "Start Game"
        bool justwatch = true;  // Options / Just Watch
        bool phraseline = true; // the drawer's phrase line: this player drew the last turn
        int secondsleft = 0;
        turnclock::Mode clockmode = turnclock::Mode::pause;
        bool phraseready = true;
        bool playsounds = true;
        bool playchattersounds = true;
        std::array<QString, phrasecount> phrases;
    };
    State st;
    Outbox *outbox = nullptr;

    // This player joined beyond the seats: it watches and chats, but neither guesses nor sends sounds.
    bool isspy() const { return st.mynumber > 10; }
    // Only a seat that plays guesses: spies and watching seats read the guesses, and the drawer
    // has no answer entry in the first place.
    bool canguess() const { return isseat(st.mynumber) && !st.seats[st.mynumber].watching; }
    // This copy holds the hosting player's say as the lowest seat: logged in, seated, and every
    // seat below its own empty.
    bool leadsthetable() const;
    QTimer *turnClock = nullptr;
    QTimer *phraseTimer = nullptr;

    // The table as the host tells it.
    void setseatname(int number, const QString &name);
    void setscore(int number, const QString &score);
    void setwatching(int number, bool on);
    void seatarrived(int number, const QString &name);
    void seatleft(int number);
    void spyarrived(int number, const QString &name);
    // False when no spy of that number and name is listed.
    bool spyleft(int number, const QString &name);
    void setoptions(const QString &caption, int seconds);
    void setteamgame(bool team);
    // The hosting player's controls follow who leads the table, Start only while no game runs:
    // after a seat filled or emptied, or this player's number arrived.
    void actashost();
    void restartclock(turnclock::Mode mode, int seconds);
    // A drawing turn's clock: from the game's seconds per turn, keeping its rhythm if it runs.
    void startturnclock();
    void movemark(Mark mark, int seat);
    // The game is now in that phase: its controls show.
    void enterphase(Phase phase);
    // Sets the seconds left and shows them, without touching the rhythm.
    void setsecondsleft(int seconds);
    void setturnline(const QString &line);
    void setanswer(const QString &text);
    void setfullanswer(const QString &text);
    // The open turn ends in the record with its phrase and solver (empty: nobody).
    void recordturn(const QString &phrase, const QString &solver);
    // Takes away what belongs to a finished turn: the phrase lines, the category banner, the
    // "+1"/"+2" marks, the snapshot button and the turn's controls (a pick or a game start).
    void clearfinishedturn();
};
