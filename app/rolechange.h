#pragma once

#include <QCoreApplication>
#include <QString>

struct Program;
class SingleInstance;

// A copy that was asked to take another role (Host a Game, Join a Game) ends like any other, and
// the next copy starts with the matching command line. It starts only once this one has closed its
// windows and sockets (the game port is free again) and given up its single-instance name and
// running marker, so it becomes the first copy instead of raising this one's window.
// Returns the next copy's process id; 0 when no role was asked for or it could not start.
qint64 handOver(Program &program, SingleInstance &single,
                const QString &programFile = QCoreApplication::applicationFilePath());
