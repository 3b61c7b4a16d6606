#include "host/tserver.h"

#include "protocol/commands.h"
#include "protocol/config.h"
#include "protocol/errors.h"
#include "protocol/fields.h"
#include "protocol/wire.h"

TServer::TServer(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Server"));
    Sock1.PortName = config::gamePort();
    Sock1.OnRead = [this](TSock *s, qsizetype n) { Sock1Read(s, n); };
    Sock1.OnAccept = [this](TSock *s) { Sock1Accept(s); };
    tempsock.OnDisconnect = [this](TSock *s) { tempsockDisconnect(s); };
    tempsock.OnInfo = [this](TSock *s, TSock::TSocketInfo i, const QString &msg) { tempsockInfo(s, i, msg); };
    socktimer = new DrainTimer(
        10, [this] { guard([this] { socktimerTimer(); }); }, [this] { return !receivedlist.isEmpty(); }, this);
}

TServer::~TServer() = default;

void TServer::Sock1Read(TSock *sender, qsizetype)
{
    if (wire::receive(*sender, receivedlist, sender->Tag) > 0)
        socktimer->wake();
}

void TServer::Sock1Accept(TSock *)
{
    int slot = 0;
    for (int i = 1; i <= highslot; ++i) {
        if (!playertable[i].inuse) {
            slot = i;
            break;
        }
    }
    TSock *sock = nullptr;
    if (!Sock1.Accept(sock))
        return;
    if (slot == 0) {
        wire::send(*sock, cmd::buildFull());
        sock->Close();
        return;
    }
    sock->Tag = slot;
    sock->OnRead = Sock1.OnRead;
    sock->OnDisconnect = tempsock.OnDisconnect;
    sock->OnInfo = tempsock.OnInfo;
    playertable[slot] = tplayer{};
    playertable[slot].inuse = true;
    playertable[slot].sock = sock;
    wire::send(*sock, cmd::buildSendlogininfo(slot));
}

void TServer::tempsockDisconnect(TSock *sender)
{
    sender->Close();
}

void TServer::tempsockInfo(TSock *sender, TSock::TSocketInfo, const QString &msg)
{
    if (msg != QLatin1String("Socket Closed"))
        return;
    const int slot = sender->Tag;
    if (slot < 1 || slot > 15 || !playertable[slot].inuse || playertable[slot].sock != sender)
        return;
    const QString name = playertable[slot].name;
    playertable[slot].inuse = false;
    playertable[slot].sock = nullptr;
    for (int i = 1; i <= highslot; ++i) {
        if (playertable[i].inuse)
            sendto(i, cmd::buildPlayerdisconnected(slot, name));
    }
}

void TServer::sendto(int slot, const QString &text)
{
    if (slot < 1 || slot > 15 || !playertable[slot].inuse || !playertable[slot].sock)
        return;
    wire::send(*playertable[slot].sock, text);
}

void TServer::sendtoall(const QString &text)
{
    for (int i = 1; i <= highslot; ++i)
        sendto(i, text);
}

void TServer::socktimerTimer()
{
    const QueuedMessage m = receivedlist.take();
    const CommandText c = splitCommand(m.text);
    if (c.word.isEmpty())
        return;
    try {
        if (c.word == cmd::logininfo)
            receivedlogininfo(m, c.rest);
    } catch (const EConvertError &) {
        // A field from the network that does not read: that message is dropped quietly.
    }
}

void TServer::receivedlogininfo(const QueuedMessage &m, const QString &rest)
{
    FieldReader f(rest);
    const int slot = f.nextInt();
    if (slot != m.slot)
        return;
    f.next(); // version
    playertable[slot].name = f.rest();
    sendtoall(cmd::buildNewplayerinfo(slot, playertable[slot].name));
    for (int i = 1; i <= highslot; ++i) {
        if (i != slot && playertable[i].inuse)
            sendto(slot, cmd::buildExistingplayers(i, playertable[i].name));
    }
}
