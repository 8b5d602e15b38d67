#include "history.h"

namespace monitor {

void Record::append(std::vector<Frame> frames)
{
    for (Frame &frame : frames) {
        m_bytes += frame.bytes.size();
        m_frames.push_back(std::move(frame));
        ++m_end;
    }
    while (m_frames.size() > m_capacity || m_bytes > kRecordByteCapacity) {
        m_bytes -= m_frames.front().bytes.size();
        m_frames.pop_front();
    }
}

void Record::clear()
{
    m_frames.clear();
    m_bytes = 0;
    // m_end stays: the indexes of what comes next stay new to every view.
}

void Trend::append(const std::vector<Sample> &samples)
{
    for (const Sample &sample : samples)
        m_samples.push_back(sample);
    if (m_samples.empty())
        return;
    const TimePoint oldest = m_samples.back().at - kTrendSpan;
    while (m_samples.front().at < oldest)
        m_samples.pop_front();
}

} // namespace monitor
