// The host's game fed what several connections send, as the queue drain hands it on. Each line of
// the input is one event:
//   "<d>TEXT"  connection d (0-9, counted among those open) sends TEXT, and the host handles it
//   "+"        a new connection arrives and is given its slot
//   "-<d>"     connection d closes
//   "!"        one second of the game's clock
// What the game sends is encoded for the wire as the server would, and dropped.
#include "fuzzsupport.h"
#include "host/hostgame.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <vector>

namespace {

struct Connection
{
    int slot = 0;
    quint64 serial = 0;
};

class Table : public HostOutbox
{
public:
    Table()
    {
        game.seed(1);
        // Short lists keep the phrases within reach of guesses in the corpus.
        for (int c = 0; c < phrases::categories; ++c)
            game.setPhraseList(c, {QStringLiteral("red apple pie"), QStringLiteral("cat"),
                                   QString::fromUtf8("don\u2019t pi\u00f1ata")});
    }

    void arrive()
    {
        const int slot = game.freeslot();
        if (slot == 0)
            return;
        open.push_back({slot, ++serials});
        game.join(slot, serials);
    }

    Connection *pick(char digit)
    {
        if (open.empty())
            return nullptr;
        return &open[size_t(quint8(digit)) % open.size()];
    }

    void send(char digit, const QByteArray &text)
    {
        if (Connection *c = pick(digit))
            game.receive({cp1252::decode(text), c->slot, c->serial});
    }

    void leave(char digit)
    {
        if (Connection *c = pick(digit))
            close(size_t(c - open.data()));
    }

    HostGame game{*this};

private:
    void close(size_t index)
    {
        const Connection gone = open[index];
        open.erase(open.begin() + qsizetype(index));
        game.leave(gone.slot, gone.serial);
    }
    void sendto(int slot, const QString &text) override
    {
        if (game.inuse(slot))
            framing::frame(cp1252::encode(text));
    }
    void sendtoothers(int, const QString &text) override { framing::frame(cp1252::encode(text)); }
    void sendtoall(const QString &text) override { sendtoothers(0, text); }
    void hangup(int slot) override
    {
        for (size_t i = 0; i < open.size(); ++i) {
            if (open[i].slot == slot) {
                close(i);
                return;
            }
        }
    }
    void note(const QString &) override {}
    void runclock(bool) override {}

    std::vector<Connection> open;
    quint64 serials = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
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
            table.game.tick();
        else if (op >= '0' && op <= '9')
            table.send(op, line.mid(1));
    }
    return 0;
}
