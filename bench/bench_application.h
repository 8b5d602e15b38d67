#pragma once
#include <QApplication>

#include <functional>

namespace bench {

// The QApplication of the benchmark: tells when an update request of one watched widget has
// been handled with a paint, which for a top-level widget is the moment its dirty children
// have been painted into the window and flushed. A request the window holds back until its
// frame ends paints nothing and does not count.
class BenchApplication : public QApplication
{
public:
    using QApplication::QApplication;

    void watchPaints(QObject *window, std::function<void()> painted)
    {
        m_watched = window;
        m_painted = std::move(painted);
    }

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool watched = receiver == m_watched && event->type() == QEvent::UpdateRequest;
        if (watched)
            m_paintSeen = false;
        else if (event->type() == QEvent::Paint)
            m_paintSeen = true;
        const bool result = QApplication::notify(receiver, event);
        if (watched && m_paintSeen && m_painted)
            m_painted();
        return result;
    }

private:
    QObject *m_watched = nullptr;
    bool m_paintSeen = false;
    std::function<void()> m_painted;
};

} // namespace bench
