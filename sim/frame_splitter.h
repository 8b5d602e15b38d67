#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

// A duration as the seconds the simulated device keeps its clock in.
[[nodiscard]] double seconds(std::chrono::nanoseconds duration);

// Cuts the received byte stream into request frames with a valid CRC, by two rules:
// - length: every request the tool sends is 8 bytes, so as soon as the last 8 bytes
//   received carry a valid CRC and a function code with a fixed 8-byte request, they are a
//   frame at once, whatever came before them (garbage is dropped);
// - silence: when no byte has come for the gap, the bytes since the last boundary are a
//   frame if their CRC is valid (requests of other lengths). If not, only the last 7 bytes
//   are kept, as the possible start of a request whose rest is late (a pseudo-terminal can
//   deliver one write in pieces); the rest is counted as discarded.
// The buffer never holds more than kCapacity bytes: under a flood the oldest go.
class FrameSplitter
{
public:
    // The longest RTU frame is 256 bytes.
    static constexpr std::size_t kCapacity = 256;

    explicit FrameSplitter(double silenceSeconds);

    // Bytes that arrived at nowSeconds; returns the frames they complete, oldest first.
    // A gap before them that is at least the silence ends the earlier bytes first.
    [[nodiscard]] std::vector<std::vector<std::uint8_t>> feed(std::span<const std::uint8_t> bytes,
                                                              double nowSeconds);

    // To call when the silence deadline has passed with no byte received.
    [[nodiscard]] std::vector<std::vector<std::uint8_t>> poll(double nowSeconds);

    // When the bytes waiting will have been followed by enough silence to end a frame;
    // nothing when there is nothing to end.
    [[nodiscard]] std::optional<double> deadline() const;

    [[nodiscard]] std::size_t buffered() const { return m_buffer.size(); }
    // Bytes dropped since the last call (garbage, bad CRC, overflow).
    [[nodiscard]] std::size_t takeDiscarded();

private:
    void endBySilence(std::vector<std::vector<std::uint8_t>> &frames);
    void push(std::uint8_t byte, std::vector<std::vector<std::uint8_t>> &frames);
    void dropFront(std::size_t count);

    double m_silence;
    std::vector<std::uint8_t> m_buffer;
    // Bytes before this index came before the last silence and are kept only as a
    // possible request start; a silence frame begins here.
    std::size_t m_frameStart = 0;
    double m_lastByteTime = 0.0;
    std::size_t m_discarded = 0;
};

} // namespace sim
