#pragma once
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

namespace testing_support {

// Generous bound on waiting for the other side: reaching it fails the test as a hang.
inline constexpr int kPatienceMs = 10000;

// Runs the event loop until the condition holds or the patience is over.
inline bool waitUntil(const std::function<bool()> &condition, int patienceMs = kPatienceMs)
{
    const QDeadlineTimer deadline(patienceMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace testing_support
