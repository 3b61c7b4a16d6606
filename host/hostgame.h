#pragma once

#include "host/phrases.h"
#include "lan/announce.h"
#include "protocol/receivequeue.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <array>

// Where the game's messages go. The host's server delivers them to the players' connections;
// tests record them.
class HostOutbox
{
public:
    virtual ~HostOutbox() = default;
    // To one slot, if a connection holds it.
    virtual void sendto(int slot, const QString &text) = 0;
    // To every slot in use but one (0: to all of them).
    virtual void sendtoothers(int slot, const QString &text) = 0;
    virtual void sendtoall(const QString &text) = 0;
    // Closes the slot's connection. Its departure comes back at once through HostGame::leave.
    virtual void hangup(int slot) = 0;
    // A line for the host's log.
    virtual void note(const QString &line) = 0;
    // The one-second clock: on starts it afresh (a full second to the next tick), off stops it.
    virtual void runclock(bool on) = 0;
};

// One record of the host's player table; slots 1..15 are used, 0 never is.
struct tplayer
{
    QString name;
    bool inuse = false;
    // The serial number of the connection that holds the slot; 0 while none does.
    quint64 connection = 0;
    int score = 0;
    bool watching = false;
    // The connection's login has been handled.
    bool loggedin = false;
    // Who earned the score of this slot: the win is announced under that name, also once the
    // player has left.
    QString scorer;
    // The player who left this seat during the running game; he alone gets its score back when
    // he comes back into it.
    QString leftname;
    // The connection asked for letter hints in its next game start.
    bool askshints = false;
};

// The rules of the host's game: the seats, the turns, the judging and the clock. It knows no
// socket and no timer: requests come in through receive(), connections through join() and leave(),
// the time through tick(), and everything it says goes out through its outbox.
//
// The player table and admission live in hostgame_admission.cpp, the relays in
// hostgame_relay.cpp, game start and turns in hostgame_turns.cpp, guesses, passes and the win test
// in hostgame_judging.cpp, the clock in hostgame_round.cpp.
class HostGame
{
public:
    // Where the game stands. A break follows every drawing turn: after the phrase was found, or
    // shown at the time-out.
    enum class Phase { idle, picking, drawing, found, shown };

    // Slots 1..15 hold players: 1..10 are the seats, 11..15 spies.
    static constexpr int maxslot = 15;
    static constexpr int seats = 10;
    // Characters the drawing history holds at most; strokes beyond that are passed on but not kept.
    static constexpr qsizetype maxhistory = 4 * 1024 * 1024;

    explicit HostGame(HostOutbox &outbox);

    // The slot a new connection is given: the lowest free one up to the highest given out so far,
    // else the next one; 0 when the table is full.
    int freeslot() const;
    // A new connection takes the slot and is told it.
    void join(int slot, quint64 connection);
    // The connection that held the slot has gone.
    void leave(int slot, quint64 connection);
    // A request as it was queued: its slot field, the connection it came on, and its text.
    void receive(const QueuedMessage &m);
    // Whether a request's word is one the host handles at all.
    static bool known(const QString &word);
    // One second of the clock, while it runs.
    void tick();

    // The random generator is seeded from the clock at creation; tests seed it.
    void seed(quint32 value) { rng.seed(value); }
    // Replaces one category's list (shipped and current); tests use small lists.
    void setPhraseList(int category, const QStringList &list);
    // The host's own phrase lists, one per category, in place of the shipped ones.
    void setPhraseLists(const std::array<QStringList, phrases::categories> &lists);
    // Letter hints in every game this host runs, whatever the start request asks.
    void setHintsAlways(bool on) { hintsalways = on; }
    // Set by the main window when the program started without parameters.
    void setsologame(bool solo) { sologame = solo; }
    bool solo() const { return sologame; }
    // What a game announcement tells of this game: seated players, spies, whether a game runs.
    void describe(announce::Announcement &a) const;

    bool inuse(int slot) const { return slot >= 1 && slot <= maxslot && playertable[slot].inuse; }
    bool isseat(int slot) const { return slot >= 1 && slot <= seats; }
    // A seat whose player has logged in: only those take turns and are listed at a game start.
    bool seated(int slot) const
    {
        return isseat(slot) && playertable[slot].inuse && playertable[slot].loggedin;
    }
    // The slot with the hosting player's say (starting games, removing players, setting seats to
    // watch): slot 1 once logged in; while nobody holds it, the lowest seated slot; 0 for none.
    // Copies work out the same from their score panel.
    int leader() const;
    const tplayer &player(int slot) const { return playertable[size_t(qBound(0, slot, maxslot))]; }
    // The highest slot ever given out; only grows.
    int lastslot() const { return highslot; }
    // "Slot 3 (Bob)", or "Slot 3" before a login: a slot as the log names it.
    QString slotname(int slot) const;

    Phase phase() const { return state; }
    bool running() const { return state != Phase::idle; }
    bool clockrunning() const { return clockon; }
    int drawer() const { return curdrawer; }
    int category() const { return curcategory; }
    const QString &phrase() const { return thephrase; }
    const QString &mask() const { return themask; }
    const phrases::PhraseWords &words() const { return phrasewords; }
    bool teams() const { return teamgame; }
    int playto() const { return winscore; }
    int turnseconds() const { return turntime; }
    // The running game shows letter hints.
    bool hints() const { return hintsgame; }
    int secondsleft() const { return countdown; }
    // The drawing history of the turn: one stroke message per line, oldest first.
    const QStringList &history() const { return memo_drawing; }
    // What is left of a category's phrase list.
    const QStringList &phrasesleft(int category) const
    {
        readlist(category);
        return wordlist[size_t(category)];
    }

private:
    friend struct HostGameProbe; // the tests' way to set a game up

    HostOutbox &out;

    std::array<tplayer, 16> playertable{};
    int highslot = 0;
    bool sologame = false;

    Phase state = Phase::idle;
    int curdrawer = 0;
    int curcategory = 0; // 0..6, the category of the phrase being drawn
    bool teamgame = false;
    int winscore = 0;
    int turntime = 0; // seconds per turn plus 2
    QString thephrase;
    QString themask;
    // Who found the phrase of the turn, while its break runs.
    int solver = 0;
    phrases::PhraseWords phrasewords;
    int countdown = 0;
    bool hintsalways = false;
    bool hintsgame = false;
    // Hints shown for the phrase being drawn.
    int hintsgiven = 0;
    bool clockon = false;

    QStringList memo_drawing;
    qsizetype historysize = 0;
    bool historyfull = false;

    // The phrase lists of the seven categories, consumed as phrases are given, and the lists as
    // shipped, from which a used-up list is filled again. A category's shipped list is read from
    // the resources when the category is first asked for, unless a list was set before.
    mutable std::array<QStringList, phrases::categories> wordlist;
    mutable std::array<QStringList, phrases::categories> shippedlist;
    mutable std::array<bool, phrases::categories> listread{};
    void readlist(int category) const;

    QRandomGenerator rng;
    int random(int below) { return below > 0 ? int(rng.bounded(quint32(below))) : 0; }

    using Handler = void (HostGame::*)(const QueuedMessage &, const QString &);
    struct Route
    {
        const QString *word;
        Handler handler;
    };
    static const Route dispatchtable[];

    // Handlers of the players' requests: the message as queued and its payload.
    void receivedlogininfo(const QueuedMessage &m, const QString &payload);
    void kickhim(const QueuedMessage &m, const QString &payload);
    void chat(const QueuedMessage &m, const QString &payload);
    void action(const QueuedMessage &m, const QString &payload);
    void startgame(const QueuedMessage &m, const QString &payload);
    void askforhints(const QueuedMessage &m, const QString &payload);
    void drawit(const QueuedMessage &m, const QString &payload);
    void clearmain(const QueuedMessage &m, const QString &payload);
    void answer(const QueuedMessage &m, const QString &payload);
    void moveit(const QueuedMessage &m, const QString &payload);
    void pickcatagory(const QueuedMessage &m, const QString &payload);
    void pass(const QueuedMessage &m, const QString &payload);
    void justwatch(const QueuedMessage &m, const QString &payload);
    void playasound(const QueuedMessage &m, const QString &payload);

    // The request's slot field names the connection it arrived on, and that connection still
    // holds its slot.
    bool sentby(const QueuedMessage &m, int slot) const;
    void sendto(int slot, const QString &text) { out.sendto(slot, text); }
    void sendtoall(const QString &text) { out.sendtoall(text); }
    void sendtoothers(int slot, const QString &text) { out.sendtoothers(slot, text); }
    // A chat line from the host itself, shown as a system line in the players' own grey.
    static QString hostline(const QString &text);
    void startclock();
    void stopclock();

    // Admission.
    void disconnectsock(int slot);
    void refreshplayerlist();

    // Turns.
    void clearit1();
    void findplayer();
    void findphrases();
    // Game over or paused: no drawer's turn runs and the clock stands.
    void stopgame();
    // The end of a break: the winner, or the next turn.
    void endbreak();
    // The drawer's turn ends early (he left or watches): a break ends the way it always ends,
    // any other phase passes the turn on.
    void drawergone();
    // What a newcomer is told about a running game: the phase, the mask and the scores.
    void sendgamestate(int slot);
    // Every panel but one shows the scores as the host holds them (CMD_gamestats); while a turn is
    // drawn, the time left follows for the copies that joined during it, whose clocks it sets.
    void sendscores(int except);
    // The seconds CMD_updatetime reports. In a drawing turn, what every player's clock shows: it
    // starts at the seconds per turn, four below the host's count. In the other phases, where no
    // player reads it, the count less 2 as ever.
    int secondsshown() const;
    // The letters due by the drawing clock, one more at half and at three quarters of the time.
    void givehints();
    bool inbreak() const { return state == Phase::found || state == Phase::shown; }

    // Scoring and the end of the game.
    bool checkforwin();
    void givepoints(int guesser);
    void addteampoints(int slot, int points);
    std::array<int, 10> seatscores() const;

    void clearhistory();
    void storestroke(const QString &line);
    void relaystroke(const QueuedMessage &m, const QString &word, const QString &payload);
    QStringList &phraselist(int category);
    // Takes a random phrase out of the category's list; with `checked` until one passes the
    // repeat test (filling the list again from the shipped one when it runs dry).
    QString drawphrase(int category, bool checked);
};
