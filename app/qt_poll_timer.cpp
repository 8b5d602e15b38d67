#include "qt_poll_timer.h"

namespace app {

QtPollTimer::QtPollTimer(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &QtPollTimer::tick);
}

void QtPollTimer::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    apply();
}

void QtPollTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    apply();
}

void QtPollTimer::apply()
{
    // start() begins a new period, as setting the interval of a running timer must.
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

} // namespace app
