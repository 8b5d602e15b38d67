#include "stop_signals.h"

#ifdef Q_OS_WIN
#include <QMetaObject>
#include <qt_windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ctl {

#ifdef Q_OS_WIN

namespace {

StopSignals *g_stopSignals = nullptr;

// Ctrl+C, Ctrl+Break and the console window closing. Windows calls this on a thread of its
// own, so the request reaches the event loop queued.
BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    if (g_stopSignals != nullptr) {
        QMetaObject::invokeMethod(
            g_stopSignals, [] { emit g_stopSignals->stopRequested(); }, Qt::QueuedConnection);
    }
    return TRUE;
}

} // namespace

StopSignals::StopSignals(QObject *parent) : QObject(parent)
{
    g_stopSignals = this;
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    g_stopSignals = nullptr;
}

#else

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a handler; a full pipe already holds a request.
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

StopSignals::StopSignals(QObject *parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        emit stopRequested();
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals() = default;

#endif

} // namespace ctl
