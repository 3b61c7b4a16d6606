#include "app/program.h"

#include "app/hostjoin.h"
#include "app/singleinstance.h"
#include "app/windows.h"
#include "client/tchat.h"
#include "features/phraseeditor.h"
#include "features/snapshotbrowser.h"
#include "features/spylist.h"
#include "features/tgamestartform.h"
#include "host/tserver.h"

Program::Program(const QStringList &params)
{
    chat = std::make_unique<Tchat>();
    marker = std::make_unique<RunningMarker>(QStringLiteral("quillet"));
    server = std::make_unique<TServer>();
    help = std::make_unique<Thelp>();
    about = std::make_unique<Tabout>();
    spylist = std::make_unique<Tspylist>();
    gamestartform = std::make_unique<Tgamestartform>();
    snapshot = std::make_unique<Tsnapshot>();
    phrases = std::make_unique<Tphrases>();
    download = std::make_unique<Tdownload>();

    chat->server = server.get();
    chat->downloadWindow = download.get();
    chat->helpWindow = help.get();
    chat->aboutWindow = about.get();
    chat->spylist = spylist.get();
    chat->phrases = phrases.get();
    chat->gamestartform = gamestartform.get();
    chat->snapshot = snapshot.get();
    chat->params = params;
    hostjoin = std::make_unique<HostJoin>(chat.get());
    // Without the lobby, "Play with Others" leads to hosting or joining from the game itself.
    QObject::connect(download.get(), &Tdownload::lobbyMissing, hostjoin.get(), [this] {
        download->hide();
        hostjoin->offerHostOrJoin();
    });

    QObject::connect(help.get(), &Thelp::aboutRequested, chat.get(), [c = chat.get()] { c->aboutClicked(); });
    // Starting the lobby or its installer ends the game as File/Exit does.
    QObject::connect(download.get(), &Tdownload::closeGame, chat.get(),
                     [c = chat.get()] { c->exitClicked(); });
}

Program::~Program()
{
    // Sockets go before the windows whose handlers they call.
    hostjoin.reset();
    chat.reset();
    server.reset();
}
