// The game connection: queue, drain, dispatch and login.
#include "client/tchat.h"

#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/wire.h"

#include <QMessageBox>

namespace {
using Handler = void (Tchat::*)(const QString &);
struct Route
{
    const QString &word;
    Handler handler;
};

// Dispatch table, in order; the first exact, case-sensitive match takes the message.
const Route routes[] = {
    {cmd::sendlogininfo, &Tchat::sendloginfo},
    {cmd::chat, &Tchat::chatrecieved},
    {cmd::action, &Tchat::chatrecieved},
    {cmd::newplayerinfo, &Tchat::newplayerinfo},
    {cmd::existingplayers, &Tchat::newplayerinfo},
    {cmd::playerdisconnected, &Tchat::playerdisconnected},
    {cmd::full, &Tchat::gamefull},
    {cmd::draw, &Tchat::drawit},
    {cmd::moveit, &Tchat::moveit},
    {cmd::clearmain, &Tchat::clearmain},
    {cmd::havewrongversion, &Tchat::havewrongversion},
    {cmd::wrongversion, &Tchat::wrongversion},
    {cmd::playasound, &Tchat::playasound},
};
} // namespace

void Tchat::sockRead(TSock *sender, qsizetype)
{
    if (wire::receive(*sender, receivedlist, 0) > 0)
        Timer1->wake();
}

void Tchat::Timer1Timer()
{
    processsocktimer();
    if (!phraseready) {
        ++phrasecooldown;
        if (phrasecooldown > 100) {
            phraseready = true;
            phrasecooldown = 0;
        }
    }
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
    sendtohost(cmd::buildLogininfo(mynumber, cmd::versionText, loginname));
}

void Tchat::newplayerinfo(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == mynumber) {
        addlinetochat(QStringLiteral("0+You are Connected."), systemcolour);
        loadinifile();
    } else
        addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" is Connected."), systemcolour);
}

void Tchat::playerdisconnected(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    if (number == mynumber) {
        loggedin = false;
        close();
        return;
    }
    addlinetochat(QStringLiteral("0+") + f.rest() + QStringLiteral(" disconnected."), systemcolour);
}

void Tchat::gamefull(const QString &)
{
    QMessageBox::information(this, windowTitle(), QStringLiteral("Game is full"));
    close();
}

void Tchat::havewrongversion(const QString &rest)
{
    addlinetochat(QStringLiteral("0+") + rest + QStringLiteral(" has a different version of the game then you."),
                  bluecolour);
}

void Tchat::wrongversion(const QString &)
{
    addlinetochat(QStringLiteral("0+You have a different version of the game then the host."), bluecolour);
}
