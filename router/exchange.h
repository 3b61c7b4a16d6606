#pragma once

#include "router/httpanswer.h"

#include <QDeadlineTimer>
#include <QString>
#include <functional>

namespace router {

// The outcome of one request to the router.
struct Exchange
{
    HttpAnswer answer;    // Complete when the router answered in full
    QString error;        // why not, for the player; empty on an answer
    QString localAddress; // this machine's address on the connection to the router
    bool ok() const { return error.isEmpty(); }
};

// Sends one HTTP request to the router at `url` (numeric address only: nothing is looked up) and
// reads its answer. Blocks the calling thread, so it runs on the router's own thread only. Gives up
// when `deadline` passes, when `abandoned` says so (checked at least every 100 ms), or when the
// answer grows past maxAnswer.
Exchange exchange(const QString &url, const QByteArray &method, const QByteArray &headers,
                  const QByteArray &body, const QDeadlineTimer &deadline,
                  const std::function<bool()> &abandoned);

} // namespace router
