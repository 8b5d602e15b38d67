#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// Seconds on CLOCK_MONOTONIC.
[[nodiscard]] double monotonicNow();

// One instant on both clocks.
struct Stamp
{
    long long monotonicNs = 0;
    long long realtimeNs = 0;
    [[nodiscard]] double seconds() const { return static_cast<double>(monotonicNs) * 1e-9; }
};
[[nodiscard]] Stamp stampNow();

// The --log file: "MONOTONIC_NS REALTIME_NS EVENT [DATA]" per line, both clocks read when
// the line is made. Buffered; the owner flushes at flushDeadline() so that no line waits
// longer than a second, and the destructor flushes the rest.
class EventLog
{
public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog &) = delete;
    EventLog &operator=(const EventLog &) = delete;

    bool open(const std::string &path, std::string &error);
    [[nodiscard]] bool isOpen() const { return m_file != nullptr; }

    // A line stamped now, or at the given instant (when the event happened earlier).
    void write(std::string_view event, std::string_view data = {});
    void write(const Stamp &at, std::string_view event, std::string_view data = {});
    void flush();
    // When the oldest unflushed line is a second old; nothing when all is flushed.
    [[nodiscard]] std::optional<double> flushDeadline() const;

private:
    std::FILE *m_file = nullptr;
    std::optional<double> m_oldestUnflushed;
};

} // namespace sim
