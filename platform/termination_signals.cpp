#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace grainlink {
namespace {

int g_signalSockets[2] = {-1, -1};

constexpr int kTerminating[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kIgnored[] = {SIGUSR1, SIGUSR2};

void OnSignal(int signalNumber)
{
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Only async-signal-safe work here: hand the number to the event loop.
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSockets) != 0)
        throw std::runtime_error("cannot create the signal socket pair");
    m_notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        if (::read(g_signalSockets[1], &byte, 1) == 1) emit terminationRequested(byte);
    });

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kTerminating) sigaction(signalNumber, &action, nullptr);
    for (int signalNumber : kIgnored) std::signal(signalNumber, SIG_IGN);
}

TerminationSignals::~TerminationSignals()
{
    for (int signalNumber : kTerminating) std::signal(signalNumber, SIG_DFL);
    for (int signalNumber : kIgnored) std::signal(signalNumber, SIG_DFL);
    ::close(g_signalSockets[0]);
    ::close(g_signalSockets[1]);
    g_signalSockets[0] = g_signalSockets[1] = -1;
}

}  // namespace grainlink
