// The desktop player's side of the agreement check: each recorded host stream goes through
// PlayerGame::handle(), and after every message what the player would show and send is printed
// in the normalised form that tests/web/agree/page.mjs prints for the page's rules.
//
// Usage: agree_desktop STREAM...  (a stream: "#player NAME", then one host message a line; other
//                                  lines starting with "#" are notes)
//        agree_desktop --words    (the command words dispatched, and the version sent)
#include "client/core/chattersounds.h"
#include "client/core/playergame.h"
#include "platform/errors.h"
#include "protocol/commands.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

QTextStream out(stdout);

QString bit(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString hex(int colour)
{
    return QString::number(uint(colour), 16).toUpper();
}

int bgr(const QColor &c)
{
    return c.red() | c.green() << 8 | c.blue() << 16;
}

// What one stream's player shows and sends; only lines that changed since the last message print.
struct Watcher : Outbox
{
    PlayerGame game;
    QStringList chat, cues, sent, board, events, guesses;
    QStringList spies;
    QMap<QChar, QString> last;

    Watcher()
    {
        game.setoutbox(this);
        QObject::connect(&game, &PlayerGame::chatLine, [this](const QString &line, int colour) {
            chat << line + QLatin1Char('|') + hex(colour);
        });
        QObject::connect(&game, &PlayerGame::cue, [this](const QString &name) { cues << name; });
        QObject::connect(&game, &PlayerGame::soundPlayed, [this](const QString &name) {
            if (const int tag = chattersounds::tagof(name))
                cues << QStringLiteral("sound") + QString::number(tag);
        });
        QObject::connect(&game, &PlayerGame::strokeStarted, [this](QPoint p, const QColor &c, int width) {
            board << QStringLiteral("down %1,%2 %3 %4").arg(p.x()).arg(p.y()).arg(hex(bgr(c))).arg(width);
        });
        QObject::connect(&game, &PlayerGame::strokeDrawn,
                         [this](const QColor &c, int width, const QPoint *points, qsizetype n) {
                             QString line = QStringLiteral("draw %1 %2").arg(hex(bgr(c))).arg(width);
                             for (qsizetype i = 0; i < n; ++i)
                                 line += QStringLiteral(" %1,%2").arg(points[i].x()).arg(points[i].y());
                             board << line;
                         });
        QObject::connect(&game, &PlayerGame::boardWiped, [this] { board << QStringLiteral("wipe"); });
        QObject::connect(&game, &PlayerGame::guessAdded, [this](bool mine, const QString &line) {
            guesses << (mine ? QStringLiteral("mine ") : QStringLiteral("all ")) + line;
        });
        QObject::connect(&game, &PlayerGame::spyAdded, [this](int n, const QString &name) {
            spies << QString::number(n) + QLatin1Char(':') + name;
        });
        QObject::connect(&game, &PlayerGame::spyRemoved, [this](int n, const QString &name) {
            spies.removeOne(QString::number(n) + QLatin1Char(':') + name);
        });
        QObject::connect(&game, &PlayerGame::guessesCleared,
                         [this] { guesses << QStringLiteral("cleared"); });
        const auto event = [this](const char *name) {
            return [this, name] { events << QLatin1String(name); };
        };
        QObject::connect(&game, &PlayerGame::full, event("full"));
        // The page names what each phase's entry does.
        QObject::connect(&game, &PlayerGame::phaseEntered, [this](PlayerGame::Phase phase) {
            if (phase == PlayerGame::Phase::idle)
                events << QStringLiteral("gameStarted");
            else if (phase == PlayerGame::Phase::picking)
                events << QStringLiteral("penLifted") << QStringLiteral("categoriesReleased");
            else if (phase == PlayerGame::Phase::drawing)
                events << QStringLiteral("brushReset");
        });
        QObject::connect(&game, &PlayerGame::paused, event("paused"));
        QObject::connect(&game, &PlayerGame::loggedIn, event("loggedIn"));
        QObject::connect(&game, &PlayerGame::connected, event("connected"));
        QObject::connect(&game, &PlayerGame::removed, event("removed"));
    }
    void send(const QString &message) override { sent << message; }

    void print(QChar key, const QString &line)
    {
        if (last.value(key) == line)
            return;
        last[key] = line;
        out << key << QLatin1Char(' ') << line << QLatin1Char('\n');
    }
    void flush(QChar key, QStringList &lines)
    {
        if (key == QLatin1Char('V'))
            std::sort(lines.begin(), lines.end());
        for (const QString &l : std::as_const(lines))
            out << key << QLatin1Char(' ') << l << QLatin1Char('\n');
        lines.clear();
    }

    void show()
    {
        const PlayerGame &g = game;
        QStringList seats;
        for (int n = 1; n <= 10; ++n)
            seats << g.seat(n).name + QLatin1Char('/') + g.shownscore(n) +
                         (g.seat(n).watching ? QStringLiteral("/w") : QString());
        print(QLatin1Char('S'), seats.join(QLatin1Char(' ')));
        const auto &o = g.startoptions();
        print(QLatin1Char('T'),
              QStringLiteral("me=%1 in=%2 say=%3 lead=%4 drawer=%5 team=%6 %7 tpt=%8 opts=%9")
                  .arg(g.mynumber())
                  .arg(bit(g.loggedin()), bit(g.hostsay()))
                  .arg(g.loggedin() ? g.leaderseat() : 0)
                  .arg(g.drawernumber())
                  .arg(bit(g.teamgame()), g.playtocaption())
                  .arg(g.turnseconds())
                  .arg(QStringLiteral("%1,%2,%3,%4")
                           .arg(bit(o.team))
                           .arg(o.playto)
                           .arg(o.seconds)
                           .arg(bit(o.hints))));
        // The round caption's date is written in each one's own way: what follows it is compared.
        const QString caption = g.roundcaption().section(QStringLiteral(": "), 1);
        print(QLatin1Char('L'), QStringList{g.turn().line, g.turn().fullanswer, g.turn().answer,
                                            QString::number(g.turn().category), g.turn().winner, caption}
                                    .join(QLatin1Char('|')));
        print(QLatin1Char('K'), QStringLiteral("%1 %2 %3")
                                    .arg(g.clockmode() == turnclock::Mode::drawing ? QStringLiteral("drawing")
                                                                                   : QStringLiteral("pause"))
                                    .arg(g.secondsleft())
                                    .arg(bit(g.clockrunning())));
        const PlayerGame::Controls c = g.controls();
        QStringList on;
        const std::pair<const char *, bool> named[] = {{"start", c.start},
                                                       {"startmenu", c.startmenu},
                                                       {"startform", c.startform},
                                                       {"pick", c.pick},
                                                       {"toolbar", c.toolbar},
                                                       {"answer", c.answer},
                                                       {"answerentry", c.answerentry},
                                                       {"pass", c.pass},
                                                       {"fullanswer", c.fullanswer},
                                                       {"snapshot", c.snapshot},
                                                       {"winner", c.winner},
                                                       {"marks", c.marks},
                                                       {"justwatch", c.justwatch},
                                                       {"removal", c.removal},
                                                       {"chat", c.chat},
                                                       {"podium", c.podium},
                                                       {"playagain", c.playagain}};
        for (const auto &[name, value] : named)
            if (value)
                on << QLatin1String(name);
        QString removable;
        for (int n = 1; n <= 10; ++n)
            if (c.removable[size_t(n)])
                removable += QString::number(n) + QLatin1Char(',');
        print(QLatin1Char('C'), on.join(QLatin1Char(' ')) + QStringLiteral(" removable=") + removable);
        print(QLatin1Char('M'), QStringLiteral("arrow=%1 drawer=%2 guesser=%3")
                                    .arg(g.turn().marks[0])
                                    .arg(g.turn().marks[1])
                                    .arg(g.turn().marks[2]));
        print(QLatin1Char('P'), spies.join(QLatin1Char(' ')));
        const GameRecord &r = g.record();
        QStringList record{QStringLiteral("first=%1").arg(r.firstturn())};
        for (const GameRecord::Turn &t : r.turns())
            record << QStringLiteral("%1/%2/%3/%4").arg(t.drawer, t.phrase, t.solver).arg(t.category);
        print(QLatin1Char('R'), record.join(QLatin1Char(' ')));
        if (r.over()) {
            QStringList places{r.winner()};
            for (const GameRecord::Place &p : r.ranking()) {
                QString place = QStringLiteral("%1.%2=%3%4")
                                    .arg(p.rank)
                                    .arg(p.name)
                                    .arg(p.score)
                                    .arg(p.left ? QStringLiteral("(left)") : QString());
                for (const GameRecord::Player &m : p.members)
                    place += QStringLiteral(":%1/%2/%3").arg(m.seat).arg(m.name).arg(m.score);
                places << place;
            }
            print(QLatin1Char('W'), places.join(QLatin1Char(' ')));
        }
        flush(QLatin1Char('X'), chat);
        flush(QLatin1Char('Q'), cues);
        flush(QLatin1Char('O'), sent);
        flush(QLatin1Char('B'), board);
        flush(QLatin1Char('G'), guesses);
        flush(QLatin1Char('V'), events);
    }
};

// A click or a typed line of the player: "!verb arguments", as page.mjs reads them too.
void request(PlayerGame &g, const QString &line)
{
    const QString verb = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    const QStringList a = rest.split(QLatin1Char(' '));
    const auto num = [&a](int i) { return i < a.size() ? a[i].toInt() : 0; };
    if (verb == QLatin1String("answer"))
        g.answerit(rest);
    else if (verb == QLatin1String("pick"))
        g.pickit(num(0));
    else if (verb == QLatin1String("pass"))
        g.passit();
    else if (verb == QLatin1String("wipe"))
        g.wipeit();
    else if (verb == QLatin1String("start"))
        g.startgame(num(0) != 0, num(1), num(2), num(3) != 0);
    else if (verb == QLatin1String("again"))
        g.startagain();
    else if (verb == QLatin1String("closepodium"))
        g.closepodium();
    else if (verb == QLatin1String("watch"))
        g.justwatch();
    else if (verb == QLatin1String("setwatch"))
        g.setwatch(num(0), num(1) != 0);
    else if (verb == QLatin1String("kick"))
        g.kicking(num(0));
    else if (verb == QLatin1String("chat"))
        g.chatit(rest.section(QLatin1Char(' '), 1), a.value(0));
    else if (verb == QLatin1String("sound"))
        g.soundit(num(0));
    else
        out << "? " << verb << '\n';
}

int replay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "agree_desktop: cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    Watcher w;
    out << "= " << path.section(QLatin1Char('/'), -1) << '\n';
    int n = 0;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("#player "))) {
            w.game.setloginname(line.mid(8));
            continue;
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        out << "@ " << ++n << ' ' << line.left(48) << '\n';
        if (line.startsWith(QLatin1Char('!'))) {
            request(w.game, line.mid(1));
            w.board.clear(); // the drawer's own wipe is the window's to show
            w.show();
            continue;
        }
        // A field that does not read ends the message; what was done before it stays.
        try {
            w.game.handle(line);
        } catch (const EConvertError &) {
        }
        w.show();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args == QStringList{QStringLiteral("--words")}) {
        QStringList words = PlayerGame::dispatchedwords();
        words.sort();
        out << "version " << cmd::versionText << '\n' << words.join(QLatin1Char('\n')) << '\n';
        return 0;
    }
    int rc = 0;
    for (const QString &path : args)
        rc |= replay(path);
    return rc;
}
