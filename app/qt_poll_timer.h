#pragma once
#include "operations/poll_timer.h"

#include <QTimer>

namespace app {

// Timer2 on a precise QTimer: a 50 ms period keeps to the millisecond instead of the 5%
// slack of a coarse timer. Ticks only while enabled with an interval above 0.
class QtPollTimer : public QObject, public ops::PollTimer
{
    Q_OBJECT

public:
    explicit QtPollTimer(QObject *parent = nullptr);

    void setInterval(int milliseconds) override;
    int interval() const override { return m_interval; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_enabled; }

signals:
    void tick();

private:
    void apply();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = true;
};

} // namespace app
