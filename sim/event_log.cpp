#include "event_log.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace sim {

namespace {

constexpr double kFlushInterval = 1.0;

long long nanoseconds(const timespec &time)
{
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

} // namespace

double monotonicNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

EventLog::~EventLog()
{
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool EventLog::open(const std::string &path, std::string &error)
{
    m_file = std::fopen(path.c_str(), "we");
    if (m_file == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
    return true;
}

Stamp stampNow()
{
    timespec monotonic{};
    timespec realtime{};
    ::clock_gettime(CLOCK_MONOTONIC, &monotonic);
    ::clock_gettime(CLOCK_REALTIME, &realtime);
    return {nanoseconds(monotonic), nanoseconds(realtime)};
}

void EventLog::write(std::string_view event, std::string_view data)
{
    if (m_file != nullptr)
        write(stampNow(), event, data);
}

void EventLog::write(const Stamp &at, std::string_view event, std::string_view data)
{
    if (m_file == nullptr)
        return;
    std::fprintf(m_file, "%lld %lld %.*s%s%.*s\n", at.monotonicNs, at.realtimeNs,
                 static_cast<int>(event.size()), event.data(), data.empty() ? "" : " ",
                 static_cast<int>(data.size()), data.data());
    if (!m_oldestUnflushed)
        m_oldestUnflushed = monotonicNow();
}

void EventLog::flush()
{
    if (m_file != nullptr)
        std::fflush(m_file);
    m_oldestUnflushed.reset();
}

std::optional<double> EventLog::flushDeadline() const
{
    if (!m_oldestUnflushed)
        return std::nullopt;
    return *m_oldestUnflushed + kFlushInterval;
}

} // namespace sim
