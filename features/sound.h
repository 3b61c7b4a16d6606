#pragma once

#include <QString>
#include <QStringList>

// The program's WAVE clips, compiled in under ":/sounds/", played asynchronously one at a time.
namespace sound {

// The resource path of the clip with this name, looked up without regard to case ("wave7" ->
// ":/sounds/WAVE7.wav"); empty when no clip has that name.
QString clipPath(const QString &name);

// Every clip name, in upper case.
QStringList clipNames();

// Starts the clip and returns at once; a new clip cuts off the one still playing. A name that
// names no clip plays the system's default sound instead. Without a sound device nothing is
// played and nothing is reported.
void play(const QString &name);

// Stops whatever is playing.
void stop();

// The name (upper case) of the clip that is playing now; empty when none is.
QString playing();

// The name of the clip last asked for (empty before the first), whether or not it could be heard.
QString lastRequested();
// How many times play() was asked for; tests check that a switch kept a clip silent.
int requestCount();

} // namespace sound
