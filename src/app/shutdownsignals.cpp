// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shutdownsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rinkaro
{

namespace
{

// [0] is written by the handler, [1] read by the event loop.
int signalSockets[2] = {-1, -1};
constexpr int handledSignals[] = {SIGTERM, SIGHUP, SIGINT};
// Should the event loop not come to the signal in this time (a hang), the program ends all
// the same (SIGALRM), rather than outlive the logout; the close, once begun, gets longer.
constexpr unsigned stuckSeconds = 5;
constexpr unsigned closeSeconds = 30;
volatile sig_atomic_t guardArmed = 0;

void onSignal(int number)
{
    const int savedErrno = errno;
    const char byte = char(number);
    // Nothing but a write is safe here; a full socket means a close is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    if (!guardArmed) {
        guardArmed = 1;
        ::alarm(stuckSeconds);
    }
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> onSignal, QObject *parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0)
        return; // without the pair the signals keep their default action
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);

    ::signal(SIGALRM, SIG_DFL); // the guard's alarm ends the program
    struct sigaction action = {};
    action.sa_handler = rinkaro::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : handledSignals)
        sigaction(number, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    // The program is on its way out, politely: more signals of a burst must not end it
    // with their default action (status 143) while it saves or tears down.
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    for (int number : handledSignals)
        sigaction(number, &action, nullptr);
    ::alarm(0);
    guardArmed = 0;
    delete notifier_;
    for (int &socket : signalSockets) {
        if (socket >= 0)
            ::close(socket);
        socket = -1;
    }
}

void ShutdownSignals::readSignal()
{
    char bytes[16];
    while (::read(signalSockets[1], bytes, sizeof bytes) > 0) {
    }
    guardArmed = 1;
    ::alarm(closeSeconds);
    if (onSignal_)
        onSignal_();
}

} // namespace rinkaro
