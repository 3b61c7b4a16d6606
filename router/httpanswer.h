#pragma once

#include <QByteArray>

namespace router {

// The most a router may send in answer to one request, head included; a longer answer is refused.
inline constexpr qsizetype maxAnswer = 64 * 1024;

// One HTTP answer read from the bytes received so far. No socket: the caller feeds what arrived
// and whether the router has closed the connection.
struct HttpAnswer
{
    enum Status { Incomplete, Complete, Bad };
    Status status = Incomplete;
    int code = 0;    // the status code, once the head is in
    QByteArray body; // the body, chunks joined, once complete
};

// Reads "HTTP/1.x CODE ..." with a body of Content-Length bytes, in chunks, or up to the close.
// An answer cut short by the close, or a head that does not read, is Bad.
HttpAnswer readHttpAnswer(const QByteArray &bytes, bool closed);

} // namespace router
