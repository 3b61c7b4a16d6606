// A scripted game of 14 players on quillet-host, in lock step, recording every byte each player
// receives. With the host's random source seeded (QUILLET_HOST_SEED), two runs of the same host
// give the same bytes; a change to the host that keeps its behaviour keeps them too.
//
// The script: ten seats and four spies log in one by one and chat; the first seat starts a game
// to 5 points; every turn the drawer picks a category and draws, guessers send a wrong guess, a
// close one and a word of the phrase, and one of them solves it. Along the way the drawer passes
// once, a seat leaves and comes back mid-turn, a seat watches and plays again, the leader sets a
// seat to watch, a spy is removed, chatter sounds and actions are sent. After the winner the
// players leave one by one.
//
// Every action waits for its effect to reach the players and for the table to fall quiet, and a
// turn's actions all fall within the nine seconds before the host's first clock report, so
// nothing depends on the machine's speed.
//
// With "short" after them, a short team game with letter hints is played instead (playshort()).
//
// Usage: samegame PORT OUTDIR [short]. Writes OUTDIR/playerNN.bin (the bytes as received) and
// OUTDIR/playerNN.txt (one message a line), NN the player's place in the script (01..14).
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <cstdio>
#include <deque>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct Player
{
    QString name;
    int slot = 0;
    std::unique_ptr<QTcpSocket> sock;
    framing::FrameBuffer frames;
    QByteArray bytes;           // everything received, in order, over every connection
    QStringList log;            // the same, one message a line
    std::deque<QString> unread; // messages the script has not looked at yet
    qint64 lastArrival = 0;
};

std::vector<Player> players;
quint16 port = 0;
QElapsedTimer elapsed;

[[noreturn]] void fail(const QString &why)
{
    throw std::runtime_error(why.toStdString());
}

void pump()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (Player &p : players) {
        if (!p.sock)
            continue;
        const QByteArray in = p.sock->readAll();
        if (in.isEmpty())
            continue;
        p.bytes += in;
        p.lastArrival = elapsed.elapsed();
        QByteArrayList messages;
        p.frames.feed(in, messages);
        for (const QByteArray &m : messages) {
            const QString text = cp1252::decode(m);
            p.log << text;
            p.unread.push_back(text);
        }
    }
}

// Waits until the player has received a message starting with the prefix; returns it.
QString expect(Player &p, const QString &prefix, int ms = 5000)
{
    QDeadlineTimer until(ms);
    for (;;) {
        while (!p.unread.empty()) {
            const QString m = p.unread.front();
            p.unread.pop_front();
            if (m.startsWith(prefix))
                return m;
        }
        if (until.hasExpired())
            fail(p.name + QStringLiteral(" never got ") + prefix);
        pump();
    }
}

// Waits until the player has received one of the two command words followed by the text.
QString expect(Player &p, const QString &after, const QString &word1, const QString &word2)
{
    QDeadlineTimer until(5000);
    for (;;) {
        while (!p.unread.empty()) {
            const QString m = p.unread.front();
            p.unread.pop_front();
            if (m.startsWith(word1 + after) || m.startsWith(word2 + after))
                return m;
        }
        if (until.hasExpired())
            fail(p.name + QStringLiteral(" never got the guess"));
        pump();
    }
}

// Waits until nothing has arrived anywhere for the quiet time.
void settle(int quietMs = 120)
{
    for (;;) {
        pump();
        qint64 last = 0;
        for (const Player &p : players)
            last = qMax(last, p.lastArrival);
        if (elapsed.elapsed() - last >= quietMs)
            return;
    }
}

void send(Player &p, const QString &text)
{
    p.sock->write(framing::frame(cp1252::encode(text)));
    p.sock->flush();
}

Player &seat(int slot)
{
    for (Player &p : players)
        if (p.slot == slot && p.sock)
            return p;
    fail(QStringLiteral("nobody holds slot %1").arg(slot));
}

void join(Player &p)
{
    p.sock = std::make_unique<QTcpSocket>();
    p.sock->connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!p.sock->waitForConnected(3000))
        fail(p.name + QStringLiteral(" could not connect"));
    const QString hello = expect(p, cmd::sendlogininfo + QLatin1Char('+'));
    p.slot = hello.section(QLatin1Char('+'), 1, 1).toInt();
    send(p, cmd::buildLogininfo(p.slot, cmd::versionText, p.name));
    expect(p, cmd::newplayerinfo + QStringLiteral("+%1+").arg(p.slot));
    settle();
}

// The player hangs up; everyone else hears of it.
void leave(Player &p)
{
    p.sock->disconnectFromHost();
    p.sock.reset();
    p.unread.clear();
    for (Player &other : players)
        if (other.sock)
            expect(other, cmd::playerdisconnected + QStringLiteral("+%1+").arg(p.slot));
    settle();
}

// Everyone still connected but the sender has the message (or all of them, sender included).
void reachesOthers(const Player &from, const QString &prefix)
{
    for (Player &p : players)
        if (p.sock && &p != &from)
            expect(p, prefix);
    settle();
}

// A stroke of a few points, sent as the desktop sends it: the pen set down, then batches.
void stroke(Player &drawer, int turn, int n)
{
    const QString colour = QString::number(0x0000FF * (n % 2) + 0x00AA00 * (turn % 3));
    const QString width = QString::number(3 + n % 4);
    const int x0 = 40 + 37 * n + 11 * turn, y0 = 30 + 23 * n;
    send(drawer, cmd::buildMoveit(drawer.slot, colour, width, x0, y0));
    QString last;
    for (int batch = 0; batch < 2; ++batch) {
        QList<QPoint> points;
        for (int i = 0; i < 10 + 5 * batch; ++i)
            points << QPoint(x0 + 3 * i + batch * 30, y0 + (i * i) % 17);
        last = cmd::buildDraw(drawer.slot, colour, width, points);
        send(drawer, last);
    }
    reachesOthers(drawer, last);
}

// The guess reaches every player (the drawer as CMD_guessed) before anything else happens.
void guess(Player &g, const QString &text)
{
    send(g, cmd::buildAnswer(g.slot, text));
    for (Player &p : players)
        if (p.sock)
            expect(p, QStringLiteral("+%1+").arg(g.slot), cmd::guessed, cmd::myguessed);
    settle();
}

// A message that every other player receives, waited for at each.
void relayed(Player &from, const QString &message, const QString &word)
{
    send(from, message);
    reachesOthers(from, word + QStringLiteral("+%1+").arg(from.slot));
}

// The seats that may guess this turn, in seat order.
QList<int> guessers(int drawer, const QList<int> &watching)
{
    QList<int> out;
    for (const Player &p : players)
        if (p.sock && p.slot >= 1 && p.slot <= 10 && p.slot != drawer && !watching.contains(p.slot))
            out << p.slot;
    std::sort(out.begin(), out.end());
    return out;
}

// One turn from the pick on; returns the host's next pick message, or nothing once the game has
// a winner.
QString playturn(int turn, int drawerslot, QList<int> &watching)
{
    Player &drawer = seat(drawerslot);
    send(drawer, cmd::buildPickcatagory(drawer.slot, turn % 7));
    QString phrase = expect(drawer, cmd::givedraweranswer + QLatin1Char('+')).section(QLatin1Char('+'), 1);
    settle();
    if (turn == 1) {
        // The drawer gives this phrase up and gets another.
        send(drawer, cmd::buildPass(drawer.slot));
        phrase = expect(drawer, cmd::givedraweranswer + QLatin1Char('+')).section(QLatin1Char('+'), 1);
        settle();
    }
    for (int n = 0; n < 3; ++n)
        stroke(drawer, turn, n);
    if (turn == 2) {
        send(drawer, cmd::buildClearmain(drawer.slot));
        reachesOthers(drawer, cmd::clearmain);
        stroke(drawer, turn, 5);
    }
    QList<int> who = guessers(drawer.slot, watching);
    if (turn == 3) {
        // A seat leaves in the middle of the turn and comes back into the game.
        Player &gone = seat(who.at(who.size() / 2));
        leave(gone);
        join(gone);
        who = guessers(drawer.slot, watching);
    }
    if (turn == 4) {
        // One seat watches by its own choice; the leader sets another to watch.
        Player &watcher = seat(who.last());
        send(watcher, cmd::buildJustwatch(watcher.slot, 1));
        reachesOthers(watcher, cmd::justwatching + QStringLiteral("+%1+").arg(watcher.slot));
        watching << watcher.slot;
        const int other = who.at(who.size() - 2);
        send(seat(1), cmd::buildJustwatch(other, 1));
        reachesOthers(seat(1), cmd::justwatching + QStringLiteral("+%1+").arg(other));
        watching << other;
        who = guessers(drawer.slot, watching);
    }
    if (turn == 5) {
        // Both come back to play; a spy is removed.
        for (int w : std::as_const(watching)) {
            send(seat(w), cmd::buildJustwatch(w, 2));
            reachesOthers(seat(w), cmd::justwatching + QStringLiteral("+%1+").arg(w));
        }
        watching.clear();
        Player &spy = seat(14);
        send(seat(1), cmd::buildKickhim(1, 14));
        expect(spy, cmd::playerdisconnected);
        spy.sock.reset();
        for (Player &p : players)
            if (p.sock)
                expect(p, cmd::playerdisconnected + QStringLiteral("+14+"));
        settle();
        who = guessers(drawer.slot, watching);
    }
    const QStringList words = phrase.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Player &a = seat(who.at(turn % who.size()));
    Player &b = seat(who.at((turn + 3) % who.size()));
    guess(a, QStringLiteral("zzqx nothing"));
    guess(b, words.first() + QLatin1Char('Q'));
    relayed(b, cmd::buildPlayasound(b.slot, turn % 5), cmd::playasound);
    relayed(a, cmd::buildAction(a.slot, QStringLiteral("scratches his head"), QStringLiteral("65280")),
            cmd::action);
    if (words.size() > 1)
        guess(a, words.last());
    // The solver takes turns among three seats, so someone reaches 5 points in seven turns or so.
    Player &solver = seat(who.at(turn % 3));
    send(solver, cmd::buildAnswer(solver.slot, phrase.toLower()));
    for (Player &p : players)
        if (p.sock)
            expect(p, cmd::correctanswer + QLatin1Char('+'));
    // The break: nobody acts until the next pick or the winner.
    Player &host = seat(1);
    QDeadlineTimer until(20000);
    while (!until.hasExpired()) {
        pump();
        while (!host.unread.empty()) {
            const QString m = host.unread.front();
            host.unread.pop_front();
            if (m.startsWith(cmd::winner))
                return {};
            if (m.startsWith(cmd::pickcatagory + QLatin1Char('+'))) {
                settle();
                return m;
            }
        }
    }
    fail(QStringLiteral("no next turn after turn %1").arg(turn));
}

void play()
{
    const QStringList names = {QStringLiteral("Ann"), QStringLiteral("Bob"),  QStringLiteral("Cleo"),
                               QStringLiteral("Dan"), QStringLiteral("Eve"),  QStringLiteral("Finn"),
                               QStringLiteral("Gus"), QStringLiteral("Hana"), QStringLiteral("Ivo"),
                               QStringLiteral("Jo"),  QStringLiteral("Kai"),  QStringLiteral("Lou"),
                               QStringLiteral("Mo"),  QStringLiteral("Nia")};
    players.resize(names.size());
    for (int i = 0; i < names.size(); ++i)
        players[i].name = names[i];
    for (Player &p : players)
        join(p);
    relayed(
        players[0],
        cmd::buildChat(1, QStringLiteral("Hello everyone, welcome to game night!"), QStringLiteral("255")),
        cmd::chat);
    relayed(players[11], cmd::buildChat(12, QStringLiteral("just watching, have fun"), QStringLiteral("255")),
            cmd::chat);
    relayed(players[1], cmd::buildPlayasound(players[1].slot, 3), cmd::playasound);

    // Time per turn 65 s: the first clock report comes nine seconds into a drawing turn.
    send(players[0], cmd::buildStartgame(1, false, 5, 65));
    QString turn = expect(players[0], cmd::pickcatagory + QLatin1Char('+'));
    settle();
    QList<int> watching;
    for (int n = 0; n < 20; ++n) {
        const int drawer = turn.section(QLatin1Char('+'), 1, 1).toInt();
        turn = playturn(n, drawer, watching);
        if (turn.isEmpty()) {
            settle(500);
            relayed(players[0], cmd::buildChat(1, QStringLiteral("gg!"), QStringLiteral("255")), cmd::chat);
            for (Player &p : players)
                if (p.sock)
                    leave(p);
            return;
        }
    }
    fail(QStringLiteral("no winner after 20 turns"));
}

// The next message starting with one of the prefixes that the player receives, waiting up to ms.
QString expectEither(Player &p, const QString &a, const QString &b, int ms)
{
    QDeadlineTimer until(ms);
    for (;;) {
        while (!p.unread.empty()) {
            const QString m = p.unread.front();
            p.unread.pop_front();
            if (m.startsWith(a) || m.startsWith(b))
                return m;
        }
        if (until.hasExpired())
            fail(p.name + QStringLiteral(" never got ") + a + QStringLiteral(" or ") + b);
        pump();
    }
}

// A short team game with letter hints, as a group of friends plays one: to 5 points, 30 s a turn.
// The first drawer lets the pick time out and nobody finds the phrase, so the host chooses, the
// hints come and the turn times out; a fifth player joins during a later turn; once the game is
// won the leader plays again with the same options.
void playshort()
{
    const QStringList names = {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cleo"),
                               QStringLiteral("Dan"), QStringLiteral("Eve")};
    players.resize(names.size());
    for (int i = 0; i < names.size(); ++i)
        players[i].name = names[i];
    for (int i = 0; i < 4; ++i)
        join(players[i]);
    Player &ann = players[0];
    const auto start = [&ann] {
        send(ann, cmd::buildHintsRequest(ann.slot));
        send(ann, cmd::buildStartgame(ann.slot, true, 5, 30));
    };
    start();
    QString pick = expect(ann, cmd::pickcatagory + QLatin1Char('+'));
    settle();
    for (int turn = 0; turn < 12; ++turn) {
        Player &drawer = seat(pick.section(QLatin1Char('+'), 1, 1).toInt());
        if (turn == 0) {
            // Nobody picks: the host chooses after the pick's ten seconds.
            expect(drawer, cmd::givedraweranswer + QLatin1Char('+'), 20000);
            settle();
            stroke(drawer, turn, 0);
            // Nobody finds it: the hints come, then the time runs out.
            expect(drawer, cmd::updateanswer + QStringLiteral("+true+"), 45000);
        } else {
            send(drawer, cmd::buildPickcatagory(drawer.slot, turn % 7));
            QString phrase =
                expect(drawer, cmd::givedraweranswer + QLatin1Char('+')).section(QLatin1Char('+'), 1);
            settle();
            if (turn == 1) {
                send(drawer, cmd::buildPass(drawer.slot));
                phrase =
                    expect(drawer, cmd::givedraweranswer + QLatin1Char('+')).section(QLatin1Char('+'), 1);
                settle();
                // A friend arrives during the turn.
                join(players[4]);
            }
            stroke(drawer, turn, 1);
            QList<int> who = guessers(drawer.slot, {});
            guess(seat(who.first()), QStringLiteral("zzqx"));
            Player &solver = seat(who.at(turn % who.size()));
            send(solver, cmd::buildAnswer(solver.slot, phrase.toLower()));
            for (Player &p : players)
                if (p.sock)
                    expect(p, cmd::correctanswer + QLatin1Char('+'));
        }
        const QString next = expectEither(ann, cmd::pickcatagory + QLatin1Char('+'), cmd::winner, 20000);
        settle();
        if (next.startsWith(cmd::winner)) {
            settle(500);
            // Play Again: the same options, hints included.
            start();
            expect(ann, cmd::pickcatagory + QLatin1Char('+'));
            settle();
            for (Player &p : players)
                if (p.sock)
                    leave(p);
            return;
        }
        pick = next;
    }
    fail(QStringLiteral("no winner in the short game"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && !(argc == 4 && QByteArray(argv[3]) == "short")) {
        std::fputs("usage: samegame PORT OUTDIR [short]\n", stderr);
        return 2;
    }
    port = quint16(QByteArray(argv[1]).toUShort());
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    elapsed.start();
    int rc = 0;
    try {
        if (argc == 4)
            playshort();
        else
            play();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "samegame: %s\n", e.what());
        rc = 1;
    }
    for (size_t i = 0; i < players.size(); ++i) {
        const QString base = out + QStringLiteral("/player%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        QFile bin(base + QStringLiteral(".bin"));
        if (bin.open(QIODevice::WriteOnly))
            bin.write(players[i].bytes);
        QFile txt(base + QStringLiteral(".txt"));
        if (txt.open(QIODevice::WriteOnly))
            txt.write(players[i].log.join(QLatin1Char('\n')).toUtf8() + '\n');
    }
    std::printf("samegame: %zu players, %lld s\n", players.size(), elapsed.elapsed() / 1000);
    return rc;
}
