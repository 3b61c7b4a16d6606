// Program start on the main window: defaults, the command line and the copy's role.
#include "client/tchat.h"

#include "features/windows.h"
#include "host/tserver.h"
#include "protocol/config.h"

#include <QAction>
#include <QRandomGenerator>

void Tchat::FormCreate()
{
    defaultheight = 590;
    defaultwidth = 797;
    phraseready = true;
    sologame = false;
    amhost = false;
    hostaddress.clear();
    drawernumber = 0;
    Sock11.HostName = QStringLiteral("127.0.0.1");
    Sock11.PortName = config::lobbyPort();
    sock.PortName = config::gamePort();
    resize(defaultwidth, defaultheight);
}

void Tchat::FormShow()
{
    processparams();
}

void Tchat::processparams()
{
    StartGame1->setEnabled(false);
    loginname.clear();
    if (params.isEmpty()) {
        addlinetochat(QStringLiteral("0+Loading Solo Game..Please wait."), systemcolour);
        if (downloadWindow)
            downloadWindow->show();
        hostaddress = QStringLiteral("127.0.0.1");
        playername = QStringLiteral("You");
        sologame = true;
        if (server)
            server->sologame = true;
        hostpress();
        return;
    }
    addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."), systemcolour);
    QString name, address;
    for (int i = 1; i <= params.size(); ++i) {
        if (i == 1)
            name = params[0];
        else if (i == 2)
            address = params[1];
        else if (i == 3) {
            playername = name;
            hostaddress = address;
            if (params[2] == QLatin1String("true"))
                hostpress();
            else
                joinpress();
            Sock11.Open();
            break; // further parameters are ignored
        }
    }
}

void Tchat::hostpress()
{
    server->Sock1.setListen(true);
    loginname = playername;
    amhost = true;
    sock.HostName = QStringLiteral("127.0.0.1");
    sock.Open();
    StartGame1->setEnabled(true);
    if (spylist)
        spylist->popup_kickhim->setEnabled(true);
}

void Tchat::joinpress()
{
    loginname = playername;
    sock.HostName = hostaddress;
    sock.Open();
}

void Tchat::sockInfo(TSock *, TSock::TSocketInfo, const QString &msg)
{
    if (msg == QLatin1String("Socket Closed"))
        close();
}

void Tchat::FormClose()
{
    saveplacement();
}
