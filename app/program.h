#pragma once

#include <QStringList>
#include <memory>

class Tchat;
class TServer;
class Thelp;
class Tabout;
class Tspylist;
class Tgamestartform;
class Tsnapshot;
class Tphrases;
class Tdownload;
class RunningMarker;
class HostJoin;

// Every window of the program, created once at start in a fixed order.
struct Program
{
    explicit Program(const QStringList &params);
    ~Program();

    std::unique_ptr<Tchat> chat;
    std::unique_ptr<RunningMarker> marker;
    std::unique_ptr<TServer> server;
    std::unique_ptr<Thelp> help;
    std::unique_ptr<Tabout> about;
    std::unique_ptr<Tspylist> spylist;
    std::unique_ptr<Tgamestartform> gamestartform;
    std::unique_ptr<Tsnapshot> snapshot;
    std::unique_ptr<Tphrases> phrases;
    std::unique_ptr<Tdownload> download;
    // File / Host a Game and Join a Game; offerHostOrJoin() is the choice for "Play with Others".
    std::unique_ptr<HostJoin> hostjoin;
};
