#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <array>

// The game's command words and one builder per message layout. Builders return the message text
// without its end marker; the sending side frames it.
namespace cmd {

// Player to host
inline const QString logininfo = QStringLiteral("CMD_logininfo");
inline const QString chat = QStringLiteral("CMD_chat");
inline const QString action = QStringLiteral("CMD_action");
inline const QString startgame = QStringLiteral("CMD_startgame");
inline const QString moveit = QStringLiteral("CMD_moveit");
inline const QString draw = QStringLiteral("CMD_draw");
inline const QString clearmain = QStringLiteral("CMD_clearmain");
inline const QString answer = QStringLiteral("CMD_answer");
inline const QString pickcatagory = QStringLiteral("CMD_pickcatagory");
inline const QString pass = QStringLiteral("CMD_pass");
inline const QString kickhim = QStringLiteral("CMD_kickhim");
inline const QString justwatch = QStringLiteral("CMD_justwatch");
inline const QString playasound = QStringLiteral("CMD_playasound");
// Also host to players.
inline const QString hints = QStringLiteral("CMD_hints");

// Host to players
inline const QString sendlogininfo = QStringLiteral("CMD_sendlogininfo");
inline const QString full = QStringLiteral("CMD_full");
inline const QString newplayerinfo = QStringLiteral("CMD_newplayerinfo");
inline const QString existingplayers = QStringLiteral("CMD_existingplayers");
inline const QString havewrongversion = QStringLiteral("CMD_havewrongversion");
inline const QString wrongversion = QStringLiteral("CMD_wrongversion");
inline const QString playerdisconnected = QStringLiteral("CMD_playerdisconnected");
inline const QString justwatching = QStringLiteral("CMD_justwatching");
inline const QString refreshplayerlist = QStringLiteral("CMD_refreshplayerlist");
inline const QString nextplayer = QStringLiteral("CMD_nextplayer");
inline const QString givedraweranswer = QStringLiteral("CMD_givedraweranswer");
inline const QString gamestats = QStringLiteral("CMD_gamestats");
inline const QString guessed = QStringLiteral("CMD_guessed");
inline const QString myguessed = QStringLiteral("CMD_myguessed");
inline const QString veryclose = QStringLiteral("CMD_veryclose");
inline const QString updateanswer = QStringLiteral("CMD_updateanswer");
inline const QString correctanswer = QStringLiteral("CMD_correctanswer");
inline const QString teamscore = QStringLiteral("CMD_teamscore");
inline const QString passed = QStringLiteral("CMD_passed");
inline const QString updatetime = QStringLiteral("CMD_updatetime");
inline const QString winner = QStringLiteral("CMD_winner");

// The version text that the login carries.
inline const QString versionText = QStringLiteral("2.2.8");

using TenScores = std::array<int, 10>;

// --- player to host ---
QString buildLogininfo(int slot, const QString &version, const QString &name);
// CMD_chat / CMD_action from a player: slot, text "|" colour text.
QString buildChat(int slot, const QString &text, const QString &colour);
QString buildAction(int slot, const QString &text, const QString &colour);
// Also sent by the host to everybody with the starter's slot.
QString buildStartgame(int slot, bool team, int playto, int turntime);
// Letter hints: a player asks for them just before his start request, and the host says the game
// has them just after its start. Copies and hosts of the original design drop the word unread.
QString buildHintsRequest(int slot);
QString buildHintsOn();
QString buildMoveit(int slot, const QString &colour, const QString &width, int x, int y);
// Points as "+X,Y" each, then a final "+": "CMD_draw+3+clBlack+3++10,20+11,22+".
QString buildDraw(int slot, const QString &colour, const QString &width, const QList<QPoint> &points);
QString buildClearmain(int slot);
QString buildAnswer(int slot, const QString &guess);
QString buildPickcatagory(int slot, int category);
QString buildPass(int slot);
QString buildKickhim(int sender, int target);
QString buildJustwatch(int slot, int mode);
QString buildPlayasound(int slot, int sound);

// --- host to players ---
QString buildSendlogininfo(int slot);
QString buildFull();
QString buildNewplayerinfo(int slot, const QString &name);
QString buildExistingplayers(int slot, const QString &name);
QString buildHavewrongversion(const QString &name);
QString buildWrongversion();
QString buildPlayerdisconnected(int slot, const QString &name);
QString buildJustwatching(int slot, int mode);
QString buildRefreshplayerlist(int slot, const QString &name);
QString buildPickcatagoryTurn(int drawer);
QString buildNextplayer(int drawer, int category, const QString &mask);
QString buildGivedraweranswer(const QString &phrase);
QString buildGamestats(int playto, int turntime, const TenScores &scores);
QString buildGuessed(int guesser, const QString &guess);
QString buildMyguessed(int guesser, const QString &guess);
QString buildVeryclose(int guesser, const QString &word);
QString buildUpdateanswer(bool timeUp, const QString &text);
QString buildCorrectanswer(int guesser, int guesserScore, int drawer, int drawerScore, const QString &phrase);
QString buildTeamscore(const TenScores &scores);
QString buildPassed(int drawer, int score);
QString buildUpdatetime(int seconds);
QString buildWinner(const QString &winner);
// Relays: the text after the speaker's slot as the host forwards it.
QString buildChatRelay(int slot, const QString &name, const QString &body);
// The host's own chat line (slot 0, shown as a system line) when no seat is left that can draw
// and the game waits for a new start.
QString buildPaused();
QString buildActionRelay(int slot, const QString &name, const QString &body);
QString buildPlayasoundRelay(int slot, const QString &rest);

} // namespace cmd
