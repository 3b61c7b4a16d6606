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

// Looks for the end of the request head at the start of `bytes`, from `scanned` on (what an
// earlier call had looked at), so a head that comes a byte at a time is looked at once. Complete
// sets `scanned` to the head's length with the empty line that ends it. A line feed without its
// carriage return is Bad at once; a head that has not ended within maxHead bytes is TooLarge.
Head scan(QByteArrayView bytes, qsizetype &scanned);

// Reads the request head at the start of `bytes`. When complete, `used` is its length with the
// empty line that ends it. Besides a malformed line, Bad is: a body announced, Content-Length or
// Host given twice, HTTP/1.1 without Host.
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

// The WebSocket may open only from the page itself: Origin is "http://" and the Host header (a
// port of 80 given or left out alike).
bool sameOrigin(const QByteArray &origin, const QByteArray &host);

// The name of a Host header (lower case, without a trailing dot or the brackets of an IPv6
// address; an address in its usual form) and its port (80 when none is given). False when the
// header is not a host and port.
bool splitHost(QByteArrayView host, QByteArray &name, int &port);
// A Host header names one of `names` (as splitHost gives them) at `port`. The web port answers
// only such requests: a page of another site whose name was made to point here (DNS rebinding)
// sends its own name.
bool hostAllowed(QByteArrayView host, quint16 port, const QList<QByteArray> &names);

// The WebSocket handshake's answer to a Sec-WebSocket-Key: its Sec-WebSocket-Accept.
QByteArray acceptKey(const QByteArray &key);
// What a WebSocket request lacks, as the answer to send; empty when the handshake may go on. A
// version other than 13 is told the one spoken here.
QByteArray handshakeProblem(const Request &r);
// The answer that opens the WebSocket.
QByteArray switching(const Request &r);

// A whole response: status line, the headers every response carries (and `extra`, whole lines), and
// the body (left out for HEAD, its length still given).
QByteArray response(int status, const QByteArray &type, const QByteArray &body, bool head, bool keepAlive,
                    const QByteArray &extra = {});

} // namespace web
