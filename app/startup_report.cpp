#include "startup_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace app {
namespace {

class FirstExposeReporter : public QObject
{
public:
    FirstExposeReporter(QWindow *window, std::function<bool()> portOpen)
        : QObject(window), m_window(window), m_portOpen(std::move(portOpen))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->removeEventFilter(this);
            // Queued, so it runs after the expose has been handled, and with it the first
            // paint of every widget.
            QMetaObject::invokeMethod(
                this, [this] { report(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void report()
    {
        // steady_clock counts from CLOCK_MONOTONIC's zero on Linux.
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("shown %lld port-open %d\n",
                    static_cast<long long>(std::chrono::nanoseconds(now).count()),
                    m_portOpen() ? 1 : 0);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    QWindow *m_window;
    std::function<bool()> m_portOpen;
};

} // namespace

void reportStartupWhenShown(QWidget &window, std::function<bool()> portOpen)
{
    if (!qEnvironmentVariableIsSet("RX904_REPORT_STARTUP"))
        return;
    // The native window must exist before show() so that its first expose is seen.
    window.winId();
    new FirstExposeReporter(window.windowHandle(), std::move(portOpen));
}

} // namespace app
