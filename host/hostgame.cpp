// The game's construction, its dispatch table and the checks every handler shares.
#include "host/hostgame.h"

#include "platform/errors.h"
#include "protocol/commands.h"

#include <QDateTime>
#include <algorithm>

HostGame::HostGame(HostOutbox &outbox) : out(outbox)
{
    rng.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

void HostGame::readlist(int category) const
{
    // The shipped lists are read when a category is first used: a copy that only joins never
    // holds them.
    if (category < 0 || category >= phrases::categories || listread[size_t(category)])
        return;
    listread[size_t(category)] = true;
    shippedlist[size_t(category)] = wordlist[size_t(category)] = phrases::shippedlist(category);
}

void HostGame::setPhraseList(int category, const QStringList &list)
{
    if (category < 0 || category >= phrases::categories)
        return;
    listread[size_t(category)] = true;
    shippedlist[size_t(category)] = list;
    wordlist[size_t(category)] = list;
}

void HostGame::setPhraseLists(const std::array<QStringList, phrases::categories> &lists)
{
    for (int c = 0; c < phrases::categories; ++c)
        setPhraseList(c, lists[size_t(c)]);
}

QString HostGame::hostline(const QString &text)
{
    return cmd::chat + QStringLiteral("+0+") + text + QStringLiteral("|$008AAAAC");
}

QString HostGame::slotname(int slot) const
{
    const QString name = inuse(slot) ? playertable[slot].name : QString();
    const QString text = QStringLiteral("Slot ") + QString::number(slot);
    return name.isEmpty() ? text : text + QStringLiteral(" (") + name + QLatin1Char(')');
}

bool HostGame::sentby(const QueuedMessage &m, int slot) const
{
    if (slot != m.slot || !inuse(slot))
        return false;
    const quint64 holder = playertable[slot].connection;
    return holder != 0 && holder == m.connection;
}

void HostGame::startclock()
{
    clockon = true;
    out.runclock(true);
}

void HostGame::stopclock()
{
    clockon = false;
    out.runclock(false);
}

const HostGame::Route HostGame::dispatchtable[] = {
    {&cmd::logininfo, &HostGame::receivedlogininfo},
    {&cmd::kickhim, &HostGame::kickhim},
    {&cmd::chat, &HostGame::chat},
    {&cmd::action, &HostGame::action},
    {&cmd::startgame, &HostGame::startgame},
    {&cmd::hints, &HostGame::askforhints},
    {&cmd::draw, &HostGame::drawit},
    {&cmd::clearmain, &HostGame::clearmain},
    {&cmd::answer, &HostGame::answer},
    {&cmd::moveit, &HostGame::moveit},
    {&cmd::pickcatagory, &HostGame::pickcatagory},
    {&cmd::pass, &HostGame::pass},
    {&cmd::justwatch, &HostGame::justwatch},
    {&cmd::playasound, &HostGame::playasound},
};

bool HostGame::known(const QString &word)
{
    return std::any_of(std::begin(dispatchtable), std::end(dispatchtable),
                       [&](const Route &r) { return word == *r.word; });
}

void HostGame::receive(const QueuedMessage &m)
{
    const CommandText c = splitCommand(m.text);
    if (c.word.isEmpty())
        return;
    for (const Route &r : dispatchtable) {
        if (c.word == *r.word) {
            try {
                (this->*r.handler)(m, c.rest);
            } catch (const EConvertError &) {
                // A field from the network that does not read ends that message only. Anybody
                // can send one, so it is dropped quietly instead of raising a box per message.
            }
            return;
        }
    }
}

void HostGame::describe(announce::Announcement &a) const
{
    a.seated = a.spies = 0;
    for (int slot = 1; slot <= maxslot; ++slot)
        if (playertable[slot].inuse)
            ++(isseat(slot) ? a.seated : a.spies);
    a.running = running();
}
