#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The web port's requests without sockets: reading a request head, which file a path names, and
// whether a WebSocket may open. Nothing from a request reaches the file system: paths are only
// looked up among the program's own resources.
namespace web {

// The web port unless QUILLET_WEB_PORT names another.
constexpr quint16 defaultPort = 7774;
// The port from QUILLET_WEB_PORT, or the default; 0 (no page) when the variable is "0" or not a port.
quint16 portFromEnvironment();
// A port from the command line or the environment; 0 when it is not one from 1 to 65535.
quint16 portNumber(const QString &value);

// A request head is at most this long; a longer one is refused.
constexpr qsizetype maxHead = 8192;
// The path of the game's WebSocket.
inline constexpr char playPath[] = "/play";

struct Request
{
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers;

    // The value of the first header of that name (any case), trimmed; empty when absent.
    QByteArray header(const QByteArray &name) const;
    // The target's path, without query or fragment.
    QByteArray path() const;
    // The client keeps the connection for further requests.
    bool keepAlive() const;
    // A request to switch the connection to a WebSocket.
    bool upgrade() const;
};

enum class Head { Incomplete, Complete, Bad, TooLarge };

// Reads the request head at the start of `bytes`. When complete, `used` is its length with the
// empty line that ends it. A head that has not ended within maxHead bytes is TooLarge.
Head parse(const QByteArray &bytes, Request &out, qsizetype &used);

// A file the web port serves.
struct File
{
    QString resource; // ":/..." path among the program's resources; empty when none
    QByteArray type;  // its Content-Type
};
// The file a request's path names: "/" the page, "/<file>" the page's files, "/pictures/<name>.png"
// and "/sounds/<name>.wav" the program's pictures and sounds. Only plain names of known types are
// looked up; anything else (escapes, "..", backslashes, hidden names) names nothing.
File resolve(const QByteArray &path);
// The Content-Type of a file name by its extension; empty for a type the web port does not serve.
QByteArray contentType(const QByteArray &name);

// The WebSocket may open only from the page itself: Origin is "http://" and the Host header.
bool sameOrigin(const QByteArray &origin, const QByteArray &host);

// A whole response: status line, the headers every response carries, and the body (left out for
// HEAD, its length still given).
QByteArray response(int status, const QByteArray &type, const QByteArray &body, bool head, bool keepAlive);

} // namespace web
