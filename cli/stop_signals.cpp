#include "stop_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gStopPipe[2] = {-1, -1};

void onStopSignal(int signalNumber)
{
    // The interrupted code may be about to look at errno.
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(gStopPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {}

bool StopSignals::install()
{
    if (gStopPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gStopPipe) != 0) return false;
    notifier_ = new QSocketNotifier(gStopPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(gStopPipe[1], &byte, 1) == 1 && onStop) onStop(int(byte));
    });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A closed terminal or ssh session: stop as on SIGTERM, saving first.
    ::sigaction(SIGHUP, &action, nullptr);
    return true;
}
