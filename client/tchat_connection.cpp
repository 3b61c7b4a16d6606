// The game connection: queue, drain, dispatch, login, arrivals and departures.
#include "client/tchat.h"

#include "client/chatpane.h"
#include "features/spylist.h"
#include "protocol/commands.h"
#include "protocol/drainburst.h"
#include "protocol/errors.h"
#include "protocol/fields.h"
#include "protocol/text.h"
#include "protocol/wire.h"
#include "widgets/flatpanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

namespace {
using Handler = void (Tchat::*)(const QString &);
struct Route
{
    const QString &word;
    Handler handler;
};

// Dispatch table, in order; the first exact, case-sensitive match takes the message. Words that
// match no row are dropped.
const Route routes[] = {
    {cmd::sendlogininfo, &Tchat::sendloginfo},
    {cmd::chat, &Tchat::chatrecieved},
    {cmd::action, &Tchat::chatrecieved},
    {cmd::newplayerinfo, &Tchat::newplayerinfo},
    {cmd::existingplayers, &Tchat::newplayerinfo},
    {cmd::playerdisconnected, &Tchat::playerdisconnected},
    {cmd::startgame, &Tchat::startthegame},
    {cmd::nextplayer, &Tchat::getnextplayer},
    {cmd::winner, &Tchat::winner},
    {cmd::full, &Tchat::gamefull},
    {cmd::draw, &Tchat::drawit},
    {cmd::moveit, &Tchat::moveit},
    {cmd::clearmain, &Tchat::clearmain},
    {cmd::correctanswer, &Tchat::correctanswer},
    {cmd::updateanswer, &Tchat::updateanswer},
    {cmd::givedraweranswer, &Tchat::givedraweranswer},
    {cmd::guessed, &Tchat::guessed},
    {cmd::pickcatagory, &Tchat::pickcatagory},
    {cmd::myguessed, &Tchat::myguessed},
    {cmd::passed, &Tchat::passed},
    {cmd::refreshplayerlist, &Tchat::refreshplayerlist},
    {cmd::havewrongversion, &Tchat::havewrongversion},
    {cmd::wrongversion, &Tchat::wrongversion},
    {cmd::justwatching, &Tchat::justwatching},
    {cmd::teamscore, &Tchat::teamscore},
    {cmd::gamestats, &Tchat::gamestats},
    {cmd::veryclose, &Tchat::veryclose},
    {cmd::playasound, &Tchat::playasound},
    {cmd::updatetime, &Tchat::updatetime},
};

const QString waiting = QStringLiteral("<Waiting>");
} // namespace

void Tchat::sockRead(TSock *sender, qsizetype)
{
    if (wire::receive(*sender, receivedlist, 0) > 0)
        queueTimer->wake();
}

void Tchat::drainQueue()
{
    QElapsedTimer work;
    work.start();
    processsocktimer();
    // A backlog goes faster than one message a tick; each message still ends on its own error.
    while (!closing && drainburst::more(receivedlist.size(), work.nsecsElapsed()))
        guard([this] { processsocktimer(); });
}

void Tchat::processsocktimer()
{
    const QueuedMessage m = receivedlist.take();
    const CommandText c = splitCommand(m.text);
    if (c.word.isEmpty())
        return;
    for (const Route &r : routes) {
        if (r.word == c.word) {
            (this->*r.handler)(c.rest);
            return;
        }
    }
}

void Tchat::sendtohost(const QString &text)
{
    wire::send(sock, text);
}

void Tchat::sendloginfo(const QString &rest)
{
    mynumber = FieldReader(rest).restInt();
    loggedin = true;
    // From here on a turn without a pick before it is one this copy joined in the middle of.
    pickseen = false;
    limitchatline();
    sendtohost(cmd::buildLogininfo(mynumber, cmd::versionText, text::wireSafe(loginname)));
    // Number 1 carries the hosting player's say on the host, also when no copy hosts.
    actashost();
}

void Tchat::newplayerinfo(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == mynumber) {
        addlinetochat(QStringLiteral("0+You are Connected."), systemcolour);
        loadinifile();
    } else {
        addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" is Connected."), systemcolour);
    }
    if (number > 10) {
        if (spylist)
            spylist->listbox_spys->addItem(QString::number(number) + QStringLiteral(": ") + name);
        if (number == mynumber)
            addlinetochat(QStringLiteral("0+You are spying."), systemcolour);
        else
            addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" is spying."), systemcolour);
    } else if (number >= 1) {
        ++seatchanges[number];
        label_playername[number]->setText(name);
        label_playername[number]->show();
        label_score[number]->show();
        actashost();
    }
    eventcue(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == mynumber) {
        leftgame(QStringLiteral("You were removed from the game."));
        return;
    }
    if (number >= 1 && number <= 10) {
        ++seatchanges[number];
        // The name comes from the panel: a seat that is already empty adds no line.
        const QString shown = label_playername[number]->text();
        if (shown != waiting)
            addlinetochat(QStringLiteral("0+") + shown + QStringLiteral(" disconnected."), systemcolour);
        label_playername[number]->setText(waiting);
        image_eyes[number]->hide();
        actashost();
    }
    if (spylist) {
        const QString entry = QString::number(number) + QStringLiteral(": ") + name;
        const QList<QListWidgetItem *> found = spylist->listbox_spys->findItems(entry, Qt::MatchExactly);
        if (!found.isEmpty()) {
            addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" has left."), systemcolour);
            delete found.first();
        }
    }
}

void Tchat::leftgame(const QString &why)
{
    if (gameleft)
        return;
    gameleft = true;
    loggedin = false;
    drawernumber = 0;
    strokesender->drop();
    turnClock->stop();
    addlinetochat(QStringLiteral("0+") + why +
                      QStringLiteral(" Use File / Host a Game... or Join a Game... to play again."),
                  systemcolour);
    QString reason = why;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    setWindowTitle(title + QStringLiteral(" - ") + reason);
    // What needs the game: starting, the turn's controls, chat and phrases, watching, removals.
    amhost = false;
    button_start->hide();
    startGameAction->setEnabled(false);
    justWatchAction->setEnabled(false);
    panel_pickcatagory->hide();
    panel_toolbar->hide();
    panel_answer->hide();
    button_pass->hide();
    chatpane->mychat->setEnabled(false);
    chatpane->phraserow->setEnabled(false);
    chatpane->button_smilies->setEnabled(false);
    chatpane->b_phrase10->setEnabled(false);
    if (spylist)
        spylist->popup_kickhim->setEnabled(false);
}

void Tchat::gamefull(const QString &)
{
    // The box does not block the queue. The window stays after it, so the player can try another
    // game.
    if (fullbox)
        return;
    joinfailed(QStringLiteral("The game is full."));
    fullbox = new QMessageBox(QMessageBox::Information, errorbox::title(), QStringLiteral("Game is full"),
                              QMessageBox::Ok, this);
    fullbox->setAttribute(Qt::WA_DeleteOnClose);
    fullbox->open();
}

void Tchat::havewrongversion(const QString &rest)
{
    addlinetochat(QStringLiteral("0+") + rest +
                      QStringLiteral(" has a different version of the game then you."),
                  bluecolour);
}

void Tchat::wrongversion(const QString &)
{
    addlinetochat(QStringLiteral("0+You have a different version of the game then the host."), bluecolour);
}
