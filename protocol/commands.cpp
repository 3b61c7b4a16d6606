#include "protocol/commands.h"

namespace cmd {

namespace {
QString n(int v)
{
    return QString::number(v);
}
QString scoreList(const TenScores &scores)
{
    QString s;
    for (int v : scores)
        s += QLatin1Char('+') + n(v);
    return s;
}
const QString plus = QStringLiteral("+");
} // namespace

QString buildLogininfo(int slot, const QString &version, const QString &name)
{
    return logininfo + plus + n(slot) + plus + version + plus + name;
}
QString buildChat(int slot, const QString &text, const QString &colour)
{
    return chat + plus + n(slot) + plus + text + QLatin1Char('|') + colour;
}
QString buildAction(int slot, const QString &text, const QString &colour)
{
    return action + plus + n(slot) + plus + text + QLatin1Char('|') + colour;
}
QString buildStartgame(int slot, bool team, int playto, int turntime)
{
    return startgame + plus + n(slot) + plus + (team ? QStringLiteral("true") : QStringLiteral("false")) +
           plus + n(playto) + plus + n(turntime);
}
QString buildHintsRequest(int slot)
{
    return hints + plus + n(slot) + QStringLiteral("+true");
}
QString buildHintsOn()
{
    return hints + QStringLiteral("+true");
}
QString buildMoveit(int slot, const QString &colour, const QString &width, int x, int y)
{
    return moveit + plus + n(slot) + plus + colour + plus + width + plus + n(x) + plus + n(y);
}
QString buildDraw(int slot, const QString &colour, const QString &width, const QList<QPoint> &points)
{
    QString s = draw + plus + n(slot) + plus + colour + plus + width + plus;
    s.reserve(s.size() + points.size() * 9 + 1);
    for (const QPoint &p : points)
        s += QLatin1Char('+') + n(p.x()) + QLatin1Char(',') + n(p.y());
    s += QLatin1Char('+');
    return s;
}
QString buildClearmain(int slot)
{
    return clearmain + plus + n(slot);
}
QString buildAnswer(int slot, const QString &guess)
{
    return answer + plus + n(slot) + plus + guess;
}
QString buildPickcatagory(int slot, int category)
{
    return pickcatagory + plus + n(slot) + plus + n(category);
}
QString buildPass(int slot)
{
    return pass + plus + n(slot);
}
QString buildKickhim(int sender, int target)
{
    return kickhim + plus + n(sender) + plus + n(target) + plus;
}
QString buildJustwatch(int slot, int mode)
{
    return justwatch + plus + n(slot) + plus + n(mode);
}
QString buildPlayasound(int slot, int sound)
{
    return playasound + plus + n(slot) + plus + QStringLiteral("wave") + n(sound) + plus;
}

QString buildSendlogininfo(int slot)
{
    return sendlogininfo + plus + n(slot);
}
QString buildFull()
{
    return full + plus;
}
QString buildNewplayerinfo(int slot, const QString &name)
{
    return newplayerinfo + plus + n(slot) + plus + name;
}
QString buildExistingplayers(int slot, const QString &name)
{
    return existingplayers + plus + n(slot) + plus + name;
}
QString buildHavewrongversion(const QString &name)
{
    return havewrongversion + plus + name;
}
QString buildWrongversion()
{
    return wrongversion + plus;
}
QString buildPlayerdisconnected(int slot, const QString &name)
{
    return playerdisconnected + plus + n(slot) + plus + name;
}
QString buildJustwatching(int slot, int mode)
{
    return justwatching + plus + n(slot) + plus + n(mode);
}
QString buildRefreshplayerlist(int slot, const QString &name)
{
    return refreshplayerlist + plus + n(slot) + plus + name;
}
QString buildPickcatagoryTurn(int drawer)
{
    return pickcatagory + plus + n(drawer);
}
QString buildNextplayer(int drawer, int category, const QString &mask)
{
    return nextplayer + plus + n(drawer) + plus + n(category) + plus + mask;
}
QString buildGivedraweranswer(const QString &phrase)
{
    return givedraweranswer + plus + phrase;
}
QString buildGamestats(int playto, int turntime, const TenScores &scores)
{
    return gamestats + plus + n(playto) + plus + n(turntime) + scoreList(scores);
}
QString buildGuessed(int guesser, const QString &guess)
{
    return guessed + plus + n(guesser) + plus + guess;
}
QString buildMyguessed(int guesser, const QString &guess)
{
    return myguessed + plus + n(guesser) + plus + guess;
}
QString buildVeryclose(int guesser, const QString &word)
{
    return veryclose + plus + n(guesser) + plus + word + plus;
}
QString buildUpdateanswer(bool timeUp, const QString &text)
{
    return updateanswer + plus + (timeUp ? QStringLiteral("true") : QStringLiteral("false")) + plus + text;
}
QString buildCorrectanswer(int guesser, int guesserScore, int drawer, int drawerScore, const QString &phrase)
{
    return correctanswer + plus + n(guesser) + plus + n(guesserScore) + plus + n(drawer) + plus +
           n(drawerScore) + plus + phrase;
}
QString buildTeamscore(const TenScores &scores)
{
    return teamscore + scoreList(scores);
}
QString buildPassed(int drawer, int score)
{
    return passed + plus + n(drawer) + plus + n(score);
}
QString buildUpdatetime(int seconds)
{
    return updatetime + plus + n(seconds);
}
QString buildWinner(const QString &who)
{
    return winner + plus + who;
}
QString buildChatRelay(int slot, const QString &name, const QString &body)
{
    return chat + plus + n(slot) + plus + name + QStringLiteral(" chats: ") + body;
}
QString buildPaused()
{
    // In the grey of the players' own system lines: a line's colour recolours its whole style.
    return chat + plus + n(0) + plus +
           QStringLiteral(
               "Game paused: nobody is left who can draw. The host may start a new game.|$008AAAAC");
}
QString buildActionRelay(int slot, const QString &name, const QString &body)
{
    return action + plus + n(slot) + plus + name + QLatin1Char(' ') + body;
}
QString buildPlayasoundRelay(int slot, const QString &rest)
{
    return playasound + plus + n(slot) + plus + rest;
}

} // namespace cmd
