// Takes one snapshot the way a player does, from wherever this program is placed: copied into an
// installed copy's bin folder, it saves into the player's own data folder. Prints the chat lines
// and any error; the install test then looks for the file.
#include "client/tchat.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"
#include "widgets/flatbutton.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int errors = 0;
    errorbox::setHook([&errors](const QString &text) {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
        ++errors;
    });
    Tchat t;
    logof(t);
    unplug(t.game());
    play(t.game(), {"CMD_sendlogininfo+2"});
    t.link()->receivedlist.push({cmd::buildCorrectanswer(2, 2, 1, 1, QStringLiteral("APPLE")), 0, 0});
    guard([&t] { t.link()->drainQueue(); });
    ui(t).button_snapshot->click();
    for (const auto &line : logof(t).lines)
        std::printf("%s\n", qPrintable(line.first));
    return errors == 0 ? 0 : 1;
}
