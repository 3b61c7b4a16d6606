// The host engine fed what several connections send, through its receive queue, as the queue
// drain hands it to the dispatcher. Each line of the input is one event:
//   "<d>TEXT"  connection d (0-9, counted among those open) sends TEXT, and the host handles it
//   "+"        a new connection arrives and is given the lowest free slot
//   "-<d>"     connection d closes
//   "!"        one second of the round timer
// The host's players are connected through socket pairs; what it sends them is read and dropped.
#include "fuzzsupport.h"
#include "host/tserver.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"

#include <QPointer>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

struct Connection
{
    QPointer<TSock> sock;
    int peer = -1;
};

class Table
{
public:
    Table()
    {
        server.manualtimers = true;
        server.seed(1);
        // Short lists keep the phrases within reach of guesses in the corpus.
        for (int c = 0; c < phrases::categories; ++c)
            server.setPhraseList(c, {QStringLiteral("red apple pie"), QStringLiteral("cat"),
                                     QString::fromUtf8("don\u2019t pi\u00f1ata")});
    }
    ~Table()
    {
        for (Connection &c : open)
            ::close(c.peer);
    }

    // What the host does on an incoming connection, with a socket pair in place of the network.
    void arrive()
    {
        int slot = 1;
        while (slot <= TServer::maxslot && server.playertable[slot].inuse)
            ++slot;
        if (slot > TServer::maxslot)
            return;
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
            return;
        auto *sock = new TSock(&server.listener);
        sock->adopt(fds[0]);
        sock->Tag = slot;
        sock->OnRead = server.listener.OnRead;
        sock->OnDisconnect = server.acceptedSocket.OnDisconnect;
        sock->OnInfo = server.acceptedSocket.OnInfo;
        server.highslot = qMax(server.highslot, slot);
        tplayer &p = server.playertable[slot];
        p.inuse = true;
        p.sock = sock;
        p.name.clear();
        server.sendto(slot, cmd::buildSendlogininfo(slot));
        open.push_back({sock, fds[1]});
    }

    Connection *pick(char digit)
    {
        forgetClosed();
        if (open.empty())
            return nullptr;
        return &open[size_t(quint8(digit)) % open.size()];
    }

    void send(char digit, const QByteArray &text)
    {
        Connection *c = pick(digit);
        if (!c)
            return;
        server.receivedlist.push({cp1252::decode(text), c->sock->Tag, c->sock->serial()});
        server.socktimerTimer();
    }

    void leave(char digit)
    {
        if (Connection *c = pick(digit))
            c->sock->Close();
    }

    // Reads and drops what the host sent, so that no pair fills up.
    void drain()
    {
        char buffer[65536];
        for (const Connection &c : open) {
            while (::recv(c.peer, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
            }
        }
    }

    TServer server;

private:
    void forgetClosed()
    {
        std::erase_if(open, [](const Connection &c) {
            if (c.sock && c.sock->HasHandle())
                return false;
            ::close(c.peer);
            return true;
        });
    }
    std::vector<Connection> open;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        Table table;
        for (const QByteArray &line : fuzzsupport::lines(data, size)) {
            if (line.isEmpty())
                continue;
            const char op = line.at(0);
            if (op == '+')
                table.arrive();
            else if (op == '-' && line.size() > 1)
                table.leave(line.at(1));
            else if (op == '!')
                table.server.roundtimeTimer();
            else if (op >= '0' && op <= '9')
                table.send(op, line.mid(1));
            table.drain();
            fuzzsupport::settle();
        }
    }
    fuzzsupport::settle();
    return 0;
}
