// Game start and the course of turns: the next drawer, the picking phase, the phrase of the turn.
#include "host/hostgame.h"

#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/text.h"

#include <climits>
#include <utility>

void HostGame::askforhints(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int slot = f.nextInt();
    if (!sentby(m, slot) || f.rest() != QLatin1String("true"))
        return;
    playertable[slot].askshints = true;
}

void HostGame::startgame(const QueuedMessage &m, const QString &payload)
{
    // A hints request counts for the sender's next start only, whether or not that one starts a
    // game: a start without one, as the original design sends it, is a game without hints.
    bool askshints = false;
    if (inuse(m.slot) && playertable[m.slot].connection == m.connection)
        askshints = std::exchange(playertable[m.slot].askshints, false);
    // Every field is read before anything changes, so a request that does not read changes nothing.
    FieldReader f(payload);
    const int starter = f.nextInt();
    const bool team = f.next() == QLatin1String("true");
    const int playto = f.nextInt();
    const int seconds = f.restInt();
    // Only the host's own player starts games, or while nobody holds slot 1 the lowest seat.
    if (starter != leader() || !sentby(m, starter))
        return;
    // The phase clock adds 4 seconds to the time per turn.
    if (seconds > INT_MAX - 4)
        return;

    clearit1();
    refreshplayerlist();
    teamgame = team;
    winscore = playto;
    hintsgame = askshints || hintsalways;
    sendtoall(cmd::buildStartgame(starter, teamgame, winscore, seconds));
    if (hintsgame)
        sendtoall(cmd::buildHintsOn());
    turntime = seconds + 2;
    curdrawer = 0;
    findplayer();
}

void HostGame::clearit1()
{
    for (int i = 1; i <= highslot; ++i) {
        playertable[i].score = 0;
        playertable[i].scorer.clear();
        playertable[i].leftname.clear();
        playertable[i].watching = false;
    }
}

void HostGame::findplayer()
{
    clearhistory();
    state = Phase::picking;
    int next = curdrawer;
    bool found = false;
    for (int step = 0; step < highslot && !found; ++step) {
        next = next + 1 > highslot ? 1 : next + 1;
        found = seated(next) && !playertable[next].watching;
    }
    if (!found) {
        // Nobody left who could draw: the game waits for a new start, and everybody is told.
        stopgame();
        sendtoall(cmd::buildPaused());
        return;
    }
    curdrawer = next;
    sendtoall(cmd::buildPickcatagoryTurn(curdrawer));
    countdown = 10;
    startclock();
}

void HostGame::stopgame()
{
    stopclock();
    state = Phase::idle;
    curdrawer = 0;
}

void HostGame::pickcatagory(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int n = f.nextInt();
    const int category = f.restInt();
    if (!sentby(m, n))
        return;
    if (state != Phase::picking || n != curdrawer)
        return;
    if (category < 0 || category >= phrases::categories)
        return;
    stopclock();
    curcategory = category;
    if (phraselist(curcategory).isEmpty())
        curcategory = 1;
    findphrases();
}

QStringList &HostGame::phraselist(int category)
{
    readlist(category);
    QStringList &list = wordlist[category];
    if (list.isEmpty())
        list = shippedlist[category];
    return list;
}

QString HostGame::drawphrase(int category, bool checked)
{
    QStringList &list = phraselist(category);
    if (!checked) {
        if (list.isEmpty())
            return {};
        return list.at(random(qMin(10, int(list.size()))));
    }
    QString phrase;
    phrasewords = {};
    // A list whose every remaining phrase fails the test is filled again once; should the shipped
    // list fail as a whole, its last phrase drawn is played all the same.
    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            list = shippedlist[category];
        while (!list.isEmpty()) {
            phrase = list.takeAt(random(int(list.size())));
            phrasewords = phrases::phrasewords(phrase);
            if (phrases::passesrepeattest(phrase))
                return phrase;
        }
    }
    return phrase;
}

void HostGame::findphrases()
{
    thephrase.clear();
    themask.clear();
    if (phraselist(curcategory).isEmpty())
        curcategory = 0;
    const QString phrase = drawphrase(curcategory, true);
    themask = phrases::sortphrase(phrase);
    thephrase = text::codepageUpper(phrase);
    hintsgiven = 0;
    // The drawing turn begins with a wiped drawing area on every screen.
    clearhistory();
    sendtoall(cmd::buildNextplayer(curdrawer, curcategory, themask));
    sendto(curdrawer, cmd::buildGivedraweranswer(thephrase));
    countdown = turntime + 2;
    state = Phase::drawing;
    startclock();
}
