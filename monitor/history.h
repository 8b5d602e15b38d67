#pragma once
#include "exchange_monitor.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <vector>

namespace monitor {

inline constexpr std::size_t kRecordCapacity = 100000;
// Polling's 100 000 frames hold about 2.2 MB of bytes; this bound only bites when frames are
// long, as under a flood of garbage, so that memory stays bounded whatever comes.
inline constexpr std::size_t kRecordByteCapacity = 4 * 1024 * 1024;

// The newest frames, up to the capacity; older ones drop off the front. Indexes count
// every frame ever appended, so a view can tell what is new and what has gone.
class Record
{
public:
    explicit Record(std::size_t capacity = kRecordCapacity) : m_capacity(capacity) {}

    void append(std::vector<Frame> frames);
    void clear();
    [[nodiscard]] long long firstIndex() const { return m_end - static_cast<long long>(size()); }
    [[nodiscard]] long long endIndex() const { return m_end; }
    [[nodiscard]] std::size_t size() const { return m_frames.size(); }
    // The frame with absolute index i; i must lie in [firstIndex, endIndex).
    [[nodiscard]] const Frame &at(long long i) const
    {
        return m_frames[static_cast<std::size_t>(i - firstIndex())];
    }

private:
    std::size_t m_capacity;
    std::deque<Frame> m_frames;
    std::size_t m_bytes = 0;
    long long m_end = 0;
};

// The longest span the trend shows.
inline constexpr std::chrono::hours kTrendSpan{1};

// The query samples of the newest hour; older ones drop off.
class Trend
{
public:
    void append(const std::vector<Sample> &samples);
    void clear() { m_samples.clear(); }
    [[nodiscard]] const std::deque<Sample> &samples() const { return m_samples; }

private:
    std::deque<Sample> m_samples;
};

} // namespace monitor
