#include "platform/stopsignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int pipeEnds[2] = {-1, -1};

void onSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[0], &byte, 1);
    errno = saved;
}
} // namespace

StopSignals::StopSignals(QObject *parent, std::initializer_list<int> which) : QObject(parent), signals_(which)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return;
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &StopSignals::readPipe);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : signals_)
        ::sigaction(sig, &sa, nullptr);
}

StopSignals::~StopSignals()
{
    for (int sig : signals_)
        ::signal(sig, SIG_DFL);
    delete notifier;
    for (int &fd : pipeEnds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void StopSignals::readPipe()
{
    char byte = 0;
    while (::read(pipeEnds[1], &byte, 1) == 1)
        emit received(int(byte));
}
