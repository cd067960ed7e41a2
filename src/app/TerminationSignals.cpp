#include "TerminationSignals.h"

#include "AppLog.h"

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write a byte; the event loop reads it on the other end.
std::array<int, 2> signalPipe{-1, -1};
// SIGHUP comes when the terminal or the session that started us goes away; without a handler it
// would end us on the spot and leave the lock and socket behind.
constexpr std::array<int, 3> handledSignals{SIGTERM, SIGINT, SIGHUP};
// What each signal did before we took it over, restored when the watcher goes.
std::array<struct sigaction, handledSignals.size()> previousActions{};
std::array<bool, handledSignals.size()> installed{};

extern "C" void onSignal(int signalNumber) {
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe.data()) !=
        0) {
        qCWarning(lcApp, "Cannot watch for termination signals");
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        installed[i] = false;
        if (::sigaction(handledSignals[i], nullptr, &previousActions[i]) != 0)
            continue;
        // Whoever started us with the signal ignored (nohup, a script's background job) meant it
        // to pass us by.
        if (previousActions[i].sa_handler == SIG_IGN)
            continue;
        installed[i] = ::sigaction(handledSignals[i], &action, nullptr) == 0;
    }
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        if (installed[i])
            ::sigaction(handledSignals[i], &previousActions[i], nullptr);
        installed[i] = false;
    }
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe = {-1, -1};
}

void TerminationSignals::onReadable() {
    unsigned char byte = 0;
    while (::read(signalPipe[1], &byte, 1) == 1) {
        m_received = byte;
        emit terminationRequested(byte);
    }
}
