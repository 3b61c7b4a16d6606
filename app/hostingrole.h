#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class HostGame;
class Tchat;
class RouterOpening;

// What a copy that hosts a game does beyond the game itself: once its own player is in, it opens
// the router when the player asked for it, says the outcome once in the chat pane, and shows the
// game's invitation link there, and says once when the router let the mapping lapse. The router's mapping is
// removed when hosting ends (end(), or when the object goes).
class HostingRole : public QObject
{
    Q_OBJECT
public:
    HostingRole(Tchat *chat, quint16 port, bool openRouter, QObject *parent = nullptr);
    ~HostingRole() override;

    // Removes the router's mapping, waiting a second at most. Safe to call more than once.
    void end();

    quint16 port() const { return gamePort; }
    // The web page's port, opened on the router beside the game's; 0 when no page is served.
    quint16 webPort = 0;
    // The router's address outside this network, once the router has told it; else empty.
    QString externalAddress() const;
    // The address to hand out: the external one when known, else this machine's on the network.
    QString address() const;
    // The link to hand out, at that address.
    QString link() const;
    // The router was asked and has not answered yet.
    bool waitingForRouter() const;
    // Set once the link has been shown in the chat pane.
    bool linkShown() const { return shown; }

    // The parameters of a copy that hosts: "NAME 127.0.0.1 true".
    static bool isHostingCommand(const QStringList &params);

    // Hands the host the phrases of the chosen file (none: the built-in lists stay). What became
    // of the file is said in the chat pane with the link: the file's name, or why the built-in
    // lists are played after all.
    void usePhrases(HostGame &game, const QString &path);

signals:
    // The external address became known, or the router's answer came.
    void changed();

private:
    void checkReady();
    void showLink();
    Tchat *chat;
    quint16 gamePort;
    bool wantRouter;
    bool ended = false;
    bool shown = false;
    bool lapseSaid = false;
    QString lastShown;
    QString phrasesSaid;
    std::unique_ptr<RouterOpening> opening;
};
