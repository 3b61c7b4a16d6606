#pragma once

#include "protocol/playername.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class Tchat;
class HostGameDialog;
class JoinGameDialog;
class PlayerSettings;

// Hosting and joining from the window: File / "Host a Game..." and "Join a Game...", and the
// choice between them offered to a player who wants to play with others. Choosing ends this copy;
// the next one starts with the matching command line (see rolechange.h).
class HostJoin : public QObject
{
    Q_OBJECT
public:
    explicit HostJoin(Tchat *chat);
    ~HostJoin() override;

    void hostClicked();
    void joinClicked();
    // Asks whether to host or to join, then shows that dialog.
    void offerHostOrJoin();
    // An invitation link (from the command line, another copy or the chat pane): the join dialog
    // filled in with it and the last name used. A link that does not read shows why in the dialog,
    // whose Join stays off.
    void openLink(const QString &link);

    // The command line of the copy that takes over when this one has ended; empty when none does.
    QStringList nextRole;
    // Remembers the choice, leaves the current game and asks for the next copy.
    void choose(const QStringList &params);

    QPointer<HostGameDialog> hostDialog;
    QPointer<JoinGameDialog> joinDialog;

    // Keys of the settings file's "Quillet" section that keep the last choice.
    static const QString nameKey;
    static const QString addressKey;
    // Whether a hosting copy opens the router ("1") or not (anything else: the default).
    static const QString openRouterKey;
    bool openRouterChosen() const;
    // Whether a hosting copy serves the page at its web port ("1", the default) or not ("0").
    static const QString webPageKey;
    bool webPageChosen() const;

private:
    void openJoinDialog(const QString &address);
    // The settings file as it is now.
    PlayerSettings stored() const;
    // The name offered first: the last one chosen, else the current player's own.
    QString lastName() const;
    Tchat *chat;
};
