#pragma once
#include <QObject>
#include <QTimer>

class QWidget;

namespace app {

// Paints a window at most once per display frame. The first change after a paint waits one
// frame (16 ms) for the rest: at 38400 baud a polled request and its answer come 13 ms apart,
// so the request's emptied receive box, counter and yellow lamp and the answer's texts are
// painted in one pass instead of two. Texts, counters and lamps change at once; only their
// pixels wait.
class FramePacer : public QObject
{
public:
    static constexpr int kFrameMs = 16;

    // Paces the given top-level window for as long as both live.
    explicit FramePacer(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paint();

    QWidget *m_window;
    QTimer m_frame;
    bool m_painting = false;
};

} // namespace app
