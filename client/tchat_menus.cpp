// The main window's menus, from one table.
#include "client/tchat.h"

#include "client/chatpane.h"
#include "platform/errors.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void Tchat::buildMenus()
{
    using Slot = QAction *Tchat::*;
    using Handler = void (Tchat::*)();
    enum class Tick { none, off, on };
    struct Row
    {
        const char *menu;    // the menu it goes in; a new caption starts the next menu
        const char *caption; // nullptr: a separator
        const char *name;    // its object name
        Slot slot = nullptr; // where the window keeps it
        Handler handler = nullptr;
        // A ticked item: Qt's own tick is undone and the handler decides it.
        Tick tick = Tick::none;
        QKeyCombination key = {};
    };
    // The chat pane's own items join Options where the table names them.
    const Row rows[] = {
        {"&File", "Start Game", "startGameAction", &Tchat::startGameAction, &Tchat::startGameMenuClicked},
        {"&File", "Host a Game...", "hostGameAction", &Tchat::hostGameAction, &Tchat::hostGameRequested},
        {"&File", "Join a Game...", "joinGameAction", &Tchat::joinGameAction, &Tchat::joinGameRequested},
        {"&File", "Invite Friends...", "inviteFriendsAction", &Tchat::inviteFriendsAction,
         &Tchat::inviteRequested},
        {"&File", nullptr, nullptr},
        {"&File", "Exit", "exitAction", &Tchat::exitAction, &Tchat::exitClicked},
        {"&Options", "Just Watch", "justWatchAction", &Tchat::justWatchAction, &Tchat::justWatchClicked,
         Tick::off},
        {"&Options", nullptr, nullptr},
        {"&Options", "Text Color", "textColorAction", &Tchat::textColorAction, &Tchat::textColorClicked},
        {"&Options", "", "textSizeMenu"},
        {"&Options", "", "scrollChatOffAction"},
        {"&Options", "", "clearMainChatAction"},
        {"&Options", nullptr, nullptr},
        {"&Options", "Play Sounds", "playSoundsAction", &Tchat::playSoundsAction, &Tchat::playSoundsClicked,
         Tick::on},
        {"&Options", "Play Chatter Sounds", "playChatterSoundsAction", &Tchat::playChatterSoundsAction,
         &Tchat::playChatterSoundsClicked, Tick::on},
        {"&Options", nullptr, nullptr},
        {"&Options", "Reset Screen Location", "resetScreenLocationAction", &Tchat::resetScreenLocationAction,
         &Tchat::resetScreenLocationClicked},
        {"&View", "Spy List", "spyListAction", &Tchat::spyListAction, &Tchat::spyListClicked},
        {"&View", "Snap Shots", "snapShotsAction", &Tchat::snapShotsAction, &Tchat::snapShotsClicked},
        {"&View", "Phrase Buttons", "phraseListsAction", &Tchat::phraseListsAction,
         &Tchat::phraseListsClicked},
        {"&Help", "Contents", "contentsAction", &Tchat::contentsAction, &Tchat::contentsClicked, Tick::none,
         QKeyCombination(Qt::Key_F1)},
        {"&Help", "About", "aboutAction", &Tchat::aboutAction, &Tchat::aboutClicked},
    };
    QMenu *menu = nullptr;
    for (const Row &r : rows) {
        const QString title = QLatin1String(r.menu);
        if (!menu || menu->title() != title) {
            menu = menuBar()->addMenu(title);
            menu->setObjectName(title.mid(1).toLower() + QStringLiteral("Menu"));
        }
        if (!r.caption) {
            menu->addSeparator();
            continue;
        }
        const QString name = QLatin1String(r.name);
        if (name == QLatin1String("textSizeMenu")) {
            menu->addMenu(chatpane->textSizeMenu);
            continue;
        }
        if (!*r.caption) {
            QAction *own = name == QLatin1String("scrollChatOffAction") ? chatpane->scrollChatOffAction
                                                                        : chatpane->clearMainChatAction;
            own->setObjectName(name);
            menu->addAction(own);
            continue;
        }
        QAction *a = menu->addAction(QLatin1String(r.caption));
        a->setObjectName(name);
        this->*r.slot = a;
        if (r.key != QKeyCombination())
            a->setShortcut(QKeySequence(r.key));
        const Handler handler = r.handler;
        if (r.tick == Tick::none) {
            connect(a, &QAction::triggered, this,
                    [this, handler] { guard([this, handler] { (this->*handler)(); }); });
            continue;
        }
        a->setCheckable(true);
        a->setChecked(r.tick == Tick::on);
        connect(a, &QAction::triggered, this, [this, a, handler](bool checked) {
            a->setChecked(!checked);
            guard([this, handler] { (this->*handler)(); });
        });
    }
    fileMenu = findChild<QMenu *>(QStringLiteral("fileMenu"));
    optionsMenu = findChild<QMenu *>(QStringLiteral("optionsMenu"));
    viewMenu = findChild<QMenu *>(QStringLiteral("viewMenu"));
    helpMenu = findChild<QMenu *>(QStringLiteral("helpMenu"));
}
