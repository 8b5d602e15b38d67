#include "frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace app {

FramePacer::FramePacer(QWidget *window) : m_window(window)
{
    m_frame.setSingleShot(true);
    m_frame.setTimerType(Qt::PreciseTimer);
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &FramePacer::paint);
    window->installEventFilter(this);
}

void FramePacer::holdFrame()
{
    if (!m_frame.isActive())
        m_frame.start();
}

// Qt asks a window to repaint what changed with one UpdateRequest until it has painted; held
// back, it leaves every later change to be painted with it.
bool FramePacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_painting ||
        !m_frame.isActive())
        return false;
    m_held = true;
    return true;
}

void FramePacer::paint()
{
    if (!m_held)
        return;
    m_held = false;
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_painting = false;
}

} // namespace app
