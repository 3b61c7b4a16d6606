#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
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

    // Messages to the host go here; none leave without one.
    Outbox *outbox = nullptr;
    void send(const QString &message);

    // ---- Who this player is.
    int mynumber = 0;      // own number from the login, 0 before
    bool loggedin = false; // from the login until this player's own departure
    bool amhost = false;   // this copy runs the host, or holds the hosting player's say on it
    // A game runs at the host: from its start or the first turn seen until the winner or a pause.
    bool gamerunning = false;
    // Start-up values: the name to log in with, the host's address, a solo game.
    QString playername;
    QString hostaddress;
    bool sologame = false;
    QString loginname;
    // The game went away under this player (removed, the host ended it, the connection broke).
    bool gameleft = false;
    // An error on the established connection: its close is a lost connection, not the host's end.
    bool connectionbroken = false;

    // ---- The table: ten seats (1..10), each with its name, score and watching mark, and the
    // spies beyond them (11..15).
    static inline const QString waiting = QStringLiteral("<Waiting>");
    struct Seat
    {
        QString name = waiting;
        QString score = QStringLiteral("0"); // as the host wrote it
        bool watching = false;
        int changes = 0; // arrivals and departures seen, so a menu can tell a newcomer
    };
    std::array<Seat, 11> seats;
    struct Spy
    {
        int number = 0;
        QString name;
    };
    QList<Spy> spies;
    static bool isseat(int number) { return number >= 1 && number <= 10; }
    // The name of a seat; empty for a number that has no seat.
    QString seatname(int number) const;
    void setseatname(int number, const QString &name);
    void setscore(int number, const QString &score);
    void setwatching(int number, bool on);
    void seatarrived(int number, const QString &name);
    void seatleft(int number);
    void spyarrived(int number, const QString &name);
    // False when no spy of that number and name is listed.
    bool spyleft(int number, const QString &name);
    // This copy holds the hosting player's say as the lowest seat: logged in, seated, and every
    // seat below its own empty.
    bool leadsthetable() const;

    // ---- The game's options as the panel shows them.
    QString playtocaption; // "Play to score: N" at a start, "Play to Score: N" from the scores
    bool teamgame = false; // odd rows black, as the teams are coloured
    void setoptions(const QString &caption, int seconds);
    void setteamgame(bool team);

    // ---- Colours of system lines (00BBGGRR).
    static constexpr int systemcolour = 0x008AAAAC;
    static constexpr int bluecolour = 0x00FF0000;
    static constexpr int watchcolour = 0x0078989C;

    // ---- Host messages: the text after the command word and its "+". A field that does not
    // read raises the conversion error; what was done before it stays done.
    void sendloginfo(const QString &rest);
    void newplayerinfo(const QString &rest);
    void playerdisconnected(const QString &rest);
    void havewrongversion(const QString &rest);
    void wrongversion(const QString &rest);
    // A chat or action line: its text and, after "|", its colour (white when it does not read).
    void chatrecieved(const QString &text);
    void refreshplayerlist(const QString &rest);
    // Strokes relayed by the host. One that does not read is dropped quietly: nothing the player
    // could do about it. This player's own strokes are on its board already.
    void moveit(const QString &rest);
    void drawit(const QString &rest);
    void clearmain(const QString &rest);
    void gamestats(const QString &rest);
    void teamscore(const QString &rest);
    void justwatching(const QString &rest);

    // ---- The turn.
    int drawernumber = 0; // the player who picks or draws, 0 when nobody does
    // A pick seen since the login: until then this copy joined in the middle of a turn.
    bool pickseen = false;
    // "date: drawer-PHRASE" of the finished turn, the caption of its snapshot.
    QString roundcaption;

    // ---- The turn clock: 1 s ticks counting the seconds left of a pause or a drawing turn.
    QTimer *turnClock = nullptr;
    int secondsleft = 0;
    int turnClockMode = 0; // 0 a pause, 1 a drawing turn
    // The game's seconds per turn, from CMD_startgame or, for a late joiner, CMD_gamestats.
    int turnseconds = 120;
    void restartclock(int mode, int seconds);
    // A drawing turn's clock: from the game's seconds per turn, keeping its rhythm if it runs.
    void startturnclock();
    void stopclock();
    void turnClockTick();
    // Sets the seconds left and shows them, without touching the rhythm.
    void setsecondsleft(int seconds);

signals:
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
    // A seat filled or emptied, or this player's number arrived: who leads the table may change.
    void tableChanged();
    // The host reported this player's own departure: it was removed.
    void removed();
    // The play-to caption or the seconds per turn changed.
    void optionsChanged();
    void teamChanged();
    // A seat's name or watching mark changed.
    void seatChanged(int number);
    void scoreChanged(int number);
    void spyAdded(int number, const QString &name);
    void spyRemoved(int number, const QString &name);
    // The seconds left or the clock's mode changed.
    void clockChanged();
};
