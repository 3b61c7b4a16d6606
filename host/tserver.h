#pragma once

#include "host/fairqueue.h"
#include "host/phrases.h"
#include "host/relaybudget.h"
#include "lan/announce.h"
#include "protocol/drain.h"
#include "protocol/receivequeue.h"
#include "protocol/tsock.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

// One record of the host's player table; slots 1..15 are used, 0 never is.
struct tplayer
{
    QString name;
    bool inuse = false;
    TSock *sock = nullptr;
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
};

// The host: the single authority of the game. It has no window, so it also runs without a screen.
//
// The player table and admission live in tserver_admission.cpp, the relays in tserver_relay.cpp,
// game start and turns in tserver_turns.cpp, guesses, passes and the win test in
// tserver_judging.cpp, the round timer in tserver_round.cpp.
class TServer : public QObject
{
    Q_OBJECT
public:
    explicit TServer(QObject *parent = nullptr);
    ~TServer() override;

    // Sockets: the listener and the carrier of the player sockets' handlers.
    TSock listener;
    TSock acceptedSocket;

    // Slots 1..15 hold players: 1..10 are the seats, 11..15 spies; slot 1 is our own player.
    static constexpr int maxslot = 15;
    static constexpr int seats = 10;
    std::array<tplayer, 16> playertable{};
    // The highest slot ever given out; only grows.
    int highslot = 0;

    FairQueue receivedlist;
    DrainTimer *socktimer = nullptr;
    // What each connection may have handled and passed on; past it, its messages wait their turn.
    RelayLimits relaylimits;
    // A connection with more than this waiting only floods: it is closed as a departure. An undo
    // of a long turn, all sent at once, stays well below.
    qsizetype maxqueued = 6000;
    qsizetype maxwaitingtext = 2'500'000;
    // Characters of text the queue holds at most, from all connections together: about 16 MB
    // as the host keeps them.
    qsizetype maxqueuedtext = 8 * 1024 * 1024;
    // Milliseconds a new connection has for its login before it is closed.
    int loginwait = 30000;
    // The round timer, one tick a second while a game runs.
    QTimer *roundtime = nullptr;
    // Tests drive socktimerTimer and roundtimeTimer by hand: the timers then keep their state
    // (running or not) but their ticks do nothing.
    bool manualtimers = false;

    // Milliseconds on the host's steady clock, for the relay budgets; tests set their own clock.
    std::function<qint64()> clock;
    qint64 now() const { return clock ? clock() : uptime.elapsed(); }

    // Set by the main window when the program started without parameters.
    bool sologame = false;

    // Game state.
    bool gameon = false;
    QString gamestate; // "picking", "drawing", "break", or empty
    int curdrawer = 0;
    int curcategory = 100; // 0..6, or 100 while none is picked
    bool teamgame = false;
    int winscore = 0;
    int turntime = 0; // seconds per turn plus 2
    QString thephrase;
    QString themask;
    bool answered = false;
    // Who found the phrase of the turn, while its break runs.
    int solver = 0;
    phrases::PhraseWords phrasewords;
    int countdown = 0;

    // The drawing history of the turn: one stroke message per line, oldest first.
    QStringList memo_drawing;
    // Characters the history holds at most; strokes beyond that are passed on but not kept.
    static constexpr qsizetype maxhistory = 4 * 1024 * 1024;
    qsizetype historysize = 0;
    bool historyfull = false;
    void clearhistory();

    // The phrase lists of the seven categories, consumed as phrases are given, and the lists as
    // shipped, from which a used-up list is filled again.
    std::array<QStringList, phrases::categories> wordlist;
    std::array<QStringList, phrases::categories> shippedlist;
    // Replaces one category's list (shipped and current); tests use small lists.
    void setPhraseList(int category, const QStringList &list);

    // The host's random generator: seeded from the clock at creation; tests seed it.
    QRandomGenerator rng;
    void seed(quint32 value) { rng.seed(value); }
    int random(int below) { return below > 0 ? int(rng.bounded(quint32(below))) : 0; }

    // Socket handlers.
    void listenerRead(TSock *sender, qsizetype count);
    void listenerAccept(TSock *sender);
    void acceptedSocketDisconnect(TSock *sender);
    void acceptedSocketInfo(TSock *sender, TSock::TSocketInfo info, const QString &msg);

    // One tick of the queue drain: the next message in turn, dispatched, and while a backlog waits
    // more of them for a few milliseconds.
    void socktimerTimer();
    // One message off the queue, from a connection within its relay budget, dispatched; false
    // when none could be taken.
    bool processsocktimer();
    // One tick of the round timer.
    void roundtimeTimer();

    // Sending: to one slot, to every slot in use, to every slot in use but one.
    void sendto(int slot, const QString &text);
    void sendtoall(const QString &text);
    void sendtoothers(int slot, const QString &text);

    // The request's slot field names the connection it arrived on, and that connection still
    // holds its slot.
    bool sentby(const QueuedMessage &m, int slot) const;
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
    bool inuse(int slot) const { return slot >= 1 && slot <= maxslot && playertable[slot].inuse; }
    // What a game announcement tells of this game: seated players, spies, whether a game runs.
    void describe(announce::Announcement &a) const;

    // Handlers of the players' requests: the message as queued and its payload.
    void receivedlogininfo(const QueuedMessage &m, const QString &payload);
    void kickhim(const QueuedMessage &m, const QString &payload);
    void chat(const QueuedMessage &m, const QString &payload);
    void action(const QueuedMessage &m, const QString &payload);
    void startgame(const QueuedMessage &m, const QString &payload);
    void drawit(const QueuedMessage &m, const QString &payload);
    void clearmain(const QueuedMessage &m, const QString &payload);
    void answer(const QueuedMessage &m, const QString &payload);
    void moveit(const QueuedMessage &m, const QString &payload);
    void pickcatagory(const QueuedMessage &m, const QString &payload);
    void pass(const QueuedMessage &m, const QString &payload);
    void justwatch(const QueuedMessage &m, const QString &payload);
    void playasound(const QueuedMessage &m, const QString &payload);

    // Admission.
    void disconnectsock(int slot);
    // Closes the connection with the given serial number as a departure.
    void disconnectconnection(quint64 connection);
    void refreshplayerlist();

    // Turns.
    void clearit1();
    void findplayer();
    void findphrases();
    // Game over or paused: no drawer's turn runs and the round timer stands.
    void stopgame();
    // The end of a break: the winner, or the next turn.
    void endbreak();
    // What a newcomer is told about a running game: the phase, the mask and the scores.
    void sendgamestate(int slot);
    // Every panel but one shows the scores as the host holds them (CMD_gamestats); while a turn is
    // drawn, the time left follows for the copies that joined during it, whose clocks it sets.
    void sendscores(int except);
    // The seconds CMD_updatetime reports. In a drawing turn, what every player's clock shows: it
    // starts at the seconds per turn, four below the host's count. In the other phases, where no
    // player reads it, the count less 2 as ever.
    int secondsshown() const;

    // Scoring and the end of the game.
    bool checkforwin();

    // "Slot 3 (Bob)", or "Slot 3" before a login: a slot as the log names it.
    QString slotname(int slot) const;

signals:
    // Every message sent to all players, or to all but one, as it leaves: joins, departures,
    // the game start, turns and the winner among them.
    void said(const QString &text);
    // What the host did about a connection that sent too much, or a player it refused, for the log.
    void noted(const QString &line);

private:
    using Handler = void (TServer::*)(const QueuedMessage &, const QString &);
    struct Route
    {
        const QString *word;
        Handler handler;
    };
    static const Route dispatchtable[];
    static bool known(const QString &word);

    struct Sender
    {
        Sender(const RelayLimits &limits, qint64 nowMs) : budget(limits, nowMs) {}
        RelayBudget budget;
        // Its messages wait for the budget (told to the log once each time).
        bool held = false;
    };
    // By slot, for the whole run: a sender who hangs up and comes back finds his budget as he left
    // it, and a newcomer in the slot finds it refilled by the time between.
    std::array<std::optional<Sender>, 16> senders;
    QElapsedTimer uptime;
    bool withinbudget(const QueuedMessage &m, qint64 nowMs);
    // Closes a connection that sent more than the host keeps waiting, and says so.
    void dropflooder(quint64 connection, int slot, const QString &why);

    void storestroke(const QString &line);
    void relaystroke(const QueuedMessage &m, const QString &word, const QString &payload);
    QStringList &phraselist(int category);
    // Takes a random phrase out of the category's list; with `checked` until one passes the
    // repeat test (filling the list again from the shipped one when it runs dry).
    QString drawphrase(int category, bool checked);
    void givepoints(int guesser);
    void addteampoints(int slot, int points);
    std::array<int, 10> seatscores() const;
};
