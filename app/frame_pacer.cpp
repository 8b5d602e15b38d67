#include "frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace app {

FramePacer::FramePacer(QWidget *window) : QObject(window), m_window(window)
{
    m_frame.setSingleShot(true);
    m_frame.setTimerType(Qt::PreciseTimer);
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &FramePacer::paint);
    window->installEventFilter(this);
}

// Qt asks a window to repaint what changed with an UpdateRequest, once until it has painted;
// held back, it gathers every change until the frame ends.
bool FramePacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_painting)
        return false;
    if (!m_frame.isActive())
        m_frame.start();
    return true;
}

void FramePacer::paint()
{
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_painting = false;
}

} // namespace app
