#pragma once
#include <QObject>
#include <QTimer>

class QWidget;

namespace app {

// Lets a window's paint wait for the rest of a display frame (16 ms) after a handler has run,
// so that what the next moments bring is painted in the same pass: at 38400 baud a polled
// answer comes 13 ms after its request, and the request's emptied receive box, counter and
// yellow lamp and the answer's texts are painted once instead of twice. Texts, counters and
// lamps change at once; only their pixels wait, never longer than the frame. Outside a held
// frame (a blinking cursor, typing) the window paints as soon as Qt asks it to.
class FramePacer : public QObject
{
public:
    static constexpr int kFrameMs = 16;

    explicit FramePacer(QWidget *window);

    // Holds the window's paints until the frame that begins now ends; a frame already held
    // keeps its end, so no paint waits longer than one frame.
    void holdFrame();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paint();

    QWidget *m_window;
    QTimer m_frame;
    bool m_held = false;
    bool m_painting = false;
};

} // namespace app
