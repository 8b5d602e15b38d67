#include "startup_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace app {
namespace {

// Long enough for any answer at 9600 baud and a slow machine; only a broken line waits it out.
constexpr int kAnswerWaitMs = 5000;

class FirstExposeReporter : public QObject
{
public:
    FirstExposeReporter(frmMain &window, serial::SerialControl &MSComm1, bool query)
        : QObject(window.windowHandle()), m_window(window), m_MSComm1(MSComm1), m_query(query)
    {
        window.windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        QWindow *handle = m_window.windowHandle();
        if (watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
            handle->removeEventFilter(this);
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
                    m_MSComm1.portOpen() ? 1 : 0);
        std::fflush(stdout);
        if (m_query)
            query();
        else
            QCoreApplication::quit();
    }

    void query()
    {
        // Queued, so the window's own handler for the same event has run, or has run after
        // the gate let it, before the lamp is looked at.
        connect(
            &m_MSComm1, &serial::SerialControl::OnComm, this,
            [this] {
                if (m_window.lampInFront() == ops::Lamp::imgConnected)
                    answered(true);
            },
            Qt::QueuedConnection);
        QTimer::singleShot(kAnswerWaitMs, this, [this] { answered(false); });
        m_window.ui().comDoOnce->click();
    }

    void answered(bool yes)
    {
        if (m_done)
            return;
        m_done = true;
        std::printf("answered %d\n", yes ? 1 : 0);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    frmMain &m_window;
    serial::SerialControl &m_MSComm1;
    bool m_query;
    bool m_done = false;
};

} // namespace

void reportStartupWhenShown(frmMain &window, serial::SerialControl &MSComm1)
{
    if (!qEnvironmentVariableIsSet("RX904_REPORT_STARTUP"))
        return;
    // The native window must exist before show() so that its first expose is seen.
    window.winId();
    new FirstExposeReporter(window, MSComm1,
                            qgetenv("RX904_REPORT_STARTUP") == QByteArrayLiteral("query"));
}

} // namespace app
