#pragma once
#include <utility>

namespace app {

// One handler at a time, never one inside another. A modal message box runs a nested
// event loop; while it is open a serial event waits and is delivered once the handler
// that opened the box has returned, and a timer tick is dropped, so polling can never
// stack message boxes.
class HandlerGate
{
public:
    [[nodiscard]] bool busy() const { return m_busy; }

    // Runs a handler unless another one is running; then delivers a waiting serial event.
    template <typename Handler, typename Deferred>
    bool run(Handler &&handler, Deferred &&deliverDeferred)
    {
        if (m_busy)
            return false;
        enter(std::forward<Handler>(handler));
        while (std::exchange(m_eventWaiting, false))
            enter(deliverDeferred);
        return true;
    }

    // A serial event that arrived while a handler was running. Events that pile up wait
    // as one, as a serial control reports several arrivals in one event when it is late.
    void deferEvent() { m_eventWaiting = true; }

private:
    template <typename Handler> void enter(Handler &&handler)
    {
        m_busy = true;
        handler();
        m_busy = false;
    }

    bool m_busy = false;
    bool m_eventWaiting = false;
};

} // namespace app
