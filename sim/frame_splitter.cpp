#include "frame_splitter.h"

#include "modbus/exchange_judge.h"
#include "modbus/register_map.h"
#include "modbus/request_frame.h"

#include <utility>

namespace sim {

namespace {

constexpr std::size_t kRequestLength = modbus::kRequestLength;

// Functions whose request is always station, function, two words, CRC.
bool hasFixedLengthRequest(std::uint8_t function)
{
    return (function >= 0x01 && function <= 0x06) || function == modbus::kFunctionDeviceInfo;
}

} // namespace

double seconds(std::chrono::nanoseconds duration)
{
    return std::chrono::duration<double>(duration).count();
}

FrameSplitter::FrameSplitter(double silenceSeconds) : m_silence(silenceSeconds)
{
    m_buffer.reserve(kCapacity);
}

std::vector<std::vector<std::uint8_t>> FrameSplitter::feed(std::span<const std::uint8_t> bytes,
                                                           double nowSeconds)
{
    std::vector<std::vector<std::uint8_t>> frames;
    if (bytes.empty())
        return frames;
    if (m_buffer.size() > m_frameStart && nowSeconds - m_lastByteTime >= m_silence)
        endBySilence(frames);
    m_lastByteTime = nowSeconds;
    for (const std::uint8_t byte : bytes)
        push(byte, frames);
    return frames;
}

std::vector<std::vector<std::uint8_t>> FrameSplitter::poll(double nowSeconds)
{
    std::vector<std::vector<std::uint8_t>> frames;
    if (m_buffer.size() > m_frameStart && nowSeconds - m_lastByteTime >= m_silence)
        endBySilence(frames);
    return frames;
}

std::optional<double> FrameSplitter::deadline() const
{
    if (m_buffer.size() <= m_frameStart)
        return std::nullopt;
    return m_lastByteTime + m_silence;
}

std::size_t FrameSplitter::takeDiscarded()
{
    return std::exchange(m_discarded, 0);
}

void FrameSplitter::endBySilence(std::vector<std::vector<std::uint8_t>> &frames)
{
    const std::span<const std::uint8_t> candidate =
        std::span<const std::uint8_t>(m_buffer).subspan(m_frameStart);
    if (modbus::crcHolds(candidate)) {
        frames.emplace_back(candidate.begin(), candidate.end());
        m_discarded += m_frameStart;
        m_buffer.clear();
        m_frameStart = 0;
        return;
    }
    if (m_buffer.size() >= kRequestLength)
        dropFront(m_buffer.size() - (kRequestLength - 1));
    m_frameStart = m_buffer.size();
}

void FrameSplitter::push(std::uint8_t byte, std::vector<std::vector<std::uint8_t>> &frames)
{
    if (m_buffer.size() == kCapacity)
        dropFront(m_buffer.size() - (kRequestLength - 1));
    m_buffer.push_back(byte);
    if (m_buffer.size() < kRequestLength)
        return;
    const auto tail = std::span<const std::uint8_t>(m_buffer).last(kRequestLength);
    if (hasFixedLengthRequest(tail[1]) && modbus::crcHolds(tail)) {
        frames.emplace_back(tail.begin(), tail.end());
        m_discarded += m_buffer.size() - kRequestLength;
        m_buffer.clear();
        m_frameStart = 0;
    }
}

void FrameSplitter::dropFront(std::size_t count)
{
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(count));
    m_frameStart = m_frameStart > count ? m_frameStart - count : 0;
    m_discarded += count;
}

} // namespace sim
