// A player's main window fed host messages, one line each, handled one per tick as the queue
// drain does. The window is not shown and has no connection: what it would send is dropped.
#include "client/tchat.h"
#include "fuzzsupport.h"
#include "protocol/cp1252.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        Tchat window;
        for (const QByteArray &line : fuzzsupport::lines(data, size)) {
            window.link->receivedlist.push({cp1252::decode(line), 0, 0});
            guard([&] { window.drainQueue(); });
        }
        QCoreApplication::processEvents();
    }
    fuzzsupport::settle();
    return 0;
}
