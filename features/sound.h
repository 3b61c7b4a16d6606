#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The program's WAVE clips, compiled in under ":/sounds/", played asynchronously one at a time.
namespace sound {

// The resource path of the clip with this name, looked up without regard to case ("wave7" ->
// ":/sounds/WAVE7.wav"); empty when no clip has that name.
QString clipPath(const QString &name);

// Every clip name, in upper case.
QStringList clipNames();

// Starts the clip and returns at once; a new clip cuts off the one still playing. A name that
// names no clip plays the system's default sound instead. Without a sound server or device nothing
// is played and nothing is reported. The first clip that could be heard loads the sound output
// module (see serverReachable()); without a usable module nothing is heard either.
void play(const QString &name);

// Stops whatever is playing.
void stop();

// The name (upper case) of the clip that is playing now; empty when none is.
QString playing();

// The name of the clip last asked for (empty before the first), whether or not it could be heard.
QString lastRequested();
// How many times play() was asked for; tests check that a switch kept a clip silent.
int requestCount();

// What serverReachable() asks of the system: a variable's value (empty when unset), whether a file
// or socket is there, a file's text (empty when unreadable), and the user's id.
struct SystemLookup
{
    std::function<QString(const char *)> env;
    std::function<bool(const QString &)> exists;
    std::function<QByteArray(const QString &)> read;
    unsigned uid = 0;
};

// Whether a sound server could answer, checked without connecting: Qt plays only through a
// PulseAudio server (or PipeWire's stand-in for one). Yes when PULSE_SERVER is set; when a server
// socket is there ($PULSE_RUNTIME_PATH/native, $XDG_RUNTIME_DIR/pulse/native or, without that
// variable, /run/user/UID/pulse/native, or the system-wide /run/pulse/native or
// /var/run/pulse/native); or when the client configuration names a default-server
// ($PULSE_CLIENTCONFIG, else $XDG_CONFIG_HOME/pulse/client.conf or ~/.config/pulse/client.conf,
// and /etc/pulse/client.conf).
bool serverReachable(const SystemLookup &sys);

} // namespace sound
