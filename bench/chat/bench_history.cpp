// Memory of the chat pane over a long evening: 500,000 lines, about four hours of a busy game.
#include "bench/support/memory.h"
#include "client/chatpane.h"
#include "widgets/chatviewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

QString chatLine(int i)
{
    switch (i % 4) {
    case 0:
        return QStringLiteral("3+Ann chats: that is a horse, surely :)#11 no?");
    case 1:
        return QStringLiteral("4+Bob chats: look at www.example.com/%1 it has the picture").arg(i);
    case 2:
        return QStringLiteral("5+Cy says: Way To Go!");
    default:
        return QStringLiteral("12+Spy chats: I only watch, line %1 of the evening :)#20").arg(i);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ChatPane pane;
    pane.resize(248, 311);
    pane.addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."), 0);
    const double start = residentMb();
    QElapsedTimer clock;
    clock.start();
    const int total = 500000;
    double atBound = 0;
    for (int i = 0; i < total; ++i) {
        pane.addlinetochat(chatLine(i), 0);
        // The event loop runs between lines as in the program.
        if (i % 100 == 0)
            QCoreApplication::processEvents();
        if (i == ChatPane::maxlines)
            atBound = residentMb();
    }
    const double end = residentMb();
    std::printf("figure: chat pane, %d lines in %lld ms: %.1f MB at the start, %.1f MB at %d lines, %.1f MB "
                "at the end (+%.1f MB); %d lines kept\n",
                total, clock.elapsed(), start, atBound, ChatPane::maxlines, end, end - start,
                pane.mainchat->paragraphCount());
    return 0;
}
