// The player's game fed host messages, one line each, as the receive queue hands them on. There
// is no window and no connection: what it would send is dropped. After each message the table
// may only point the view at rows 1..10 and at one of the seven category banners.
#include "client/core/playergame.h"
#include "fuzzsupport.h"
#include "protocol/cp1252.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        PlayerGame game;
        for (const QByteArray &line : fuzzsupport::lines(data, size)) {
            guard([&] { game.handle(cp1252::decode(line)); });
            if (game.turn().category < -1 || game.turn().category > 6)
                std::abort();
            // The view indexes its rows by the marks' seats.
            for (const int seat : game.turn().marks)
                if (!PlayerGame::isseat(seat))
                    std::abort();
        }
    }
    fuzzsupport::settle();
    return 0;
}
