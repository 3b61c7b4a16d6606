#pragma once

#include <QStringList>
#include <memory>

class Tchat;
class TServer;
class ServerHost;
class Thelp;
class Tabout;
class Tspylist;
class Tgamestartform;
class Tsnapshot;
class Tphrases;
class Tdownload;
class RunningMarker;
class HostJoin;
class HostingRole;
class InviteWindow;

// Every window of the program. The main window and the ones it keeps up to date are made at start;
// help, about, the lobby download, snapshots and the phrase editor when first shown.
struct Program
{
    explicit Program(const QStringList &params);
    ~Program();

    std::unique_ptr<Tchat> chat;
    std::unique_ptr<RunningMarker> marker;
    std::unique_ptr<TServer> server;
    // The host as the window asks for it.
    std::unique_ptr<ServerHost> localhost;
    std::unique_ptr<Thelp> help;
    std::unique_ptr<Tabout> about;
    std::unique_ptr<Tspylist> spylist;
    std::unique_ptr<Tgamestartform> gamestartform;
    std::unique_ptr<Tsnapshot> snapshot;
    std::unique_ptr<Tphrases> phrases;
    std::unique_ptr<Tdownload> download;
    // File / Host a Game and Join a Game; offerHostOrJoin() is the choice for "Play with Others".
    std::unique_ptr<HostJoin> hostjoin;
    // A copy that hosts: its router opening and link. None otherwise.
    std::unique_ptr<HostingRole> hosting;
    // File / "Invite Friends...".
    std::unique_ptr<InviteWindow> inviteWindow;

    // Shows the Invite Friends window with the hosted game's link and addresses.
    void showInvite();
    // Its lines as they are now, the web page's address among them while the page is served.
    void fillInvite();
    // The invitation link given as the only parameter; empty when there is none.
    static QString linkParameter(const QStringList &params);
    // The join dialog for the link given on the command line.
    void openLinkParameter(const QString &link);
    // A link handed over by a later copy: the join dialog, or while a game is on a line in the
    // chat pane that opens it when clicked.
    void linkArrived(const QString &link);
    // The game port was taken: the window says why and offers the game that may hold it.
    void hostingFailed();

    // A window made when first asked for, then kept.
    template <class Window> Window *made(std::unique_ptr<Window> &window);
    Thelp *helpWindow();
    Tdownload *downloadWindow();
};
