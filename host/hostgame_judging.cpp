// Guesses, points, the drawer's pass and the win test.
#include "host/hostgame.h"
#include "host/judging.h"

#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/text.h"

void HostGame::answer(const QueuedMessage &m, const QString &payload)
{
    // Guesses count only while a phrase is being drawn and still hidden: not after it has been
    // guessed or shown at the time-out, not while a category is picked or the game is over.
    if (state != Phase::drawing)
        return;
    FieldReader f(payload);
    const int g = f.nextInt();
    if (!sentby(m, g))
        return;
    // Only the turn's guessers: the drawer holds the phrase, spies have no seat, a watching seat
    // (by choice or set by the leader) sits the game out, and a connection without a login has
    // no seat yet.
    if (g == curdrawer || !seated(g) || playertable[g].watching)
        return;
    const QString guess = text::asciiUpper(text::wireSafe(f.rest()));
    if (guess.trimmed().isEmpty())
        return;

    const QString toDrawer = cmd::buildGuessed(g, guess);
    const QString toOthers = cmd::buildMyguessed(g, guess);
    for (int i = 1; i <= highslot; ++i)
        sendto(i, i == curdrawer ? toDrawer : toOthers);

    const QList<judging::Step> steps = judging::judge(thephrase, themask, phrasewords, guess);
    for (const judging::Step &step : steps) {
        switch (step.kind) {
        case judging::Step::Close:
            sendto(g, cmd::buildVeryclose(g, step.text));
            break;
        case judging::Step::Revealed:
            sendtoall(cmd::buildUpdateanswer(false, step.text));
            break;
        case judging::Step::Solved:
            state = Phase::found;
            solver = g;
            stopclock();
            givepoints(g);
            sendtoall(cmd::buildCorrectanswer(g, playertable[g].score, curdrawer,
                                              playertable[curdrawer].score, thephrase));
            countdown = 10;
            startclock();
            break;
        }
    }
}

void HostGame::addteampoints(int slot, int points)
{
    if (!isseat(slot))
        return;
    const int keeper = slot % 2 == 1 ? 1 : 2;
    // A penalty takes a team no lower than 0.
    playertable[keeper].score = qMax(0, playertable[keeper].score + points);
    for (int i = keeper + 2; i <= seats; i += 2)
        playertable[i].score = playertable[keeper].score;
}

void HostGame::givepoints(int guesser)
{
    playertable[guesser].scorer = playertable[guesser].name;
    playertable[curdrawer].scorer = playertable[curdrawer].name;
    if (!teamgame) {
        playertable[guesser].score += 2;
        playertable[curdrawer].score += 1;
        return;
    }
    addteampoints(curdrawer, 1);
    addteampoints(guesser, 2);
    sendtoall(cmd::buildTeamscore(seatscores()));
}

void HostGame::pass(const QueuedMessage &m, const QString &payload)
{
    const int n = FieldReader(payload).restInt();
    // Only while the phrase is being drawn and still hidden: a pass after the answer or the
    // time-out would cost a point and hide the answer everybody is looking at.
    if (!sentby(m, n) || n != curdrawer || state != Phase::drawing)
        return;
    thephrase.clear();
    themask.clear();
    const QString phrase = drawphrase(curcategory, !sologame);
    themask = phrases::sortphrase(phrase);
    thephrase = text::codepageUpper(phrase);
    // The new phrase gets the hints that the clock has made due at the next tick.
    hintsgiven = 0;
    tplayer &drawer = playertable[curdrawer];
    // A drawer without a point gets the phrase for nothing, and the players' line must not say
    // he paid one: a system line says what happened instead of CMD_passed.
    const bool paid = drawer.score > 0;
    drawer.score = qMax(0, drawer.score - 1);
    const QString update = cmd::buildUpdateanswer(false, themask);
    const QString passed =
        paid ? cmd::buildPassed(curdrawer, drawer.score)
             : hostline(drawer.name + QStringLiteral(" has bought a different phrase for nothing: ") +
                        drawer.name + QStringLiteral(" had no points."));
    for (int i = 1; i <= highslot; ++i) {
        sendto(i, update);
        sendto(i, passed);
    }
    sendto(curdrawer, cmd::buildGivedraweranswer(thephrase));
}

bool HostGame::checkforwin()
{
    std::array<int, 16> scores{};
    for (int i = 1; i <= maxslot; ++i)
        scores[i] = playertable[i].score;
    const judging::Win win = judging::wintest(scores, highslot, winscore, teamgame);
    QString winner;
    switch (win.kind) {
    case judging::Win::None:
        return false;
    case judging::Win::Black:
        winner = QStringLiteral("Black Team");
        break;
    case judging::Win::Maroon:
        winner = QStringLiteral("Maroon Team");
        break;
    case judging::Win::Player:
        // The player who reached the score, also when he has left since.
        winner = playertable[win.slot].scorer;
        if (winner.isEmpty())
            winner = playertable[win.slot].name;
        break;
    }
    state = Phase::idle;
    sendtoall(cmd::buildWinner(winner));
    return true;
}
