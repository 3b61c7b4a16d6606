#pragma once

#include "host/tserver.h"
#include "quillet-host/hostlog.h"
#include "webserve/webserver.h"

#include <QString>
#include <cstdio>

// One table as a host program runs it: the server with its game, the log of its events, and the
// web port where browsers take seats as the game port's players do. quillet-host runs one; the
// lobby runs many, each with the table's name before its log lines.
class Table
{
public:
    explicit Table(std::FILE *logto, const QString &logprefix = {});

    TServer host;
    HostLog log;
    WebServer web;

    // Tools that compare two runs of a scripted game fix the host's random source
    // (QUILLET_HOST_SEED); the operator's phrases and hints.
    void setup(const std::array<QStringList, phrases::categories> *phraselists, bool hints);
    // Listens on the game port; empty when it does, else why not, as an error box says it.
    QString listen(quint16 port);
    // Serves the page at the web port; false when another program holds it.
    bool serveWeb(quint16 port);
    // Tells every player the table is closing, then lets them go.
    void close(const QString &why);
};
