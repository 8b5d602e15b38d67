#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace sim {

// Misbehaviour on demand, for testing how the tool copes with a bad line or device.
struct Faults
{
    bool silent = false; // requests are neither carried out nor answered
    bool badCrc = false; // the answer's CRC high byte is inverted
    int shortBy = 0;     // the answer loses this many bytes at its end (one byte stays)
    double lateSeconds = 0.0;
    std::optional<double> splitSeconds; // one byte per write, this far apart
    bool garbage = false;               // random bytes all the time, requests ignored
};

// Adds one fault given as "silent", "bad-crc", "short", "short=N", "late=MS", "split=MS"
// or "garbage"; false for anything else.
[[nodiscard]] bool addFault(Faults &faults, std::string_view text);

// "short" alone cuts this many bytes.
inline constexpr int kDefaultShortBy = 3;

// How the receiving end's hardware hands a wire-timed answer to the tool.
struct Delivery
{
    enum class Kind {
        Byte,   // every byte as it arrives: a UART without FIFO
        Fifo,   // every `size` bytes, the rest after 4 silent characters: a 16550 UART
        Pieces, // what has arrived, every `ms` milliseconds
        Usb,    // the whole answer `ms` after its last byte: a USB adapter's latency timer
    };
    Kind kind = Kind::Byte;
    int size = 0;
    double ms = 0.0;
};

// "byte", "fifo=N" (N 1..64), "pieces=MS" or "usb=MS" (MS > 0); nothing for anything else.
[[nodiscard]] std::optional<Delivery> parseDelivery(std::string_view text);

struct LineTiming
{
    int baud = 9600;
    // Pace answers as a real line would; otherwise each answer is one write at once.
    bool wire = false;
    double turnaroundSeconds = 0.0;
    Delivery delivery;
};

// The answer as the faults have it leave the device.
[[nodiscard]] std::vector<std::uint8_t> corruptAnswer(std::vector<std::uint8_t> answer,
                                                      const Faults &faults);

struct TimedChunk
{
    double at = 0.0; // absolute time to write it, in the clock of arrival
    std::vector<std::uint8_t> bytes;
};

// When each part of an answer is written. The request of requestLength bytes arrived
// complete at arrival; lineFreeAt is when the previous answer has left the line.
// On a wire the request's own transmission and the 3.5-character silence pass before the
// device sees it, then the turnaround; the answer follows one character time per byte.
// "late" delays the start, "split" writes single bytes that far apart (taking over the
// pacing). Answers never overlap: one starts after the line is free (plus the silence on a
// wire). An empty answer gives no chunk.
[[nodiscard]] std::vector<TimedChunk> scheduleAnswer(std::span<const std::uint8_t> answer,
                                                     std::size_t requestLength, double arrival,
                                                     double lineFreeAt, const LineTiming &timing,
                                                     const Faults &faults);

// The byte-by-byte chunks of a wire-timed answer regrouped as the delivery hands them over.
[[nodiscard]] std::vector<TimedChunk> deliver(std::vector<TimedChunk> chunks,
                                              const LineTiming &timing);

// When the line is free again once the chunks are written: a wire still carries the last
// character for one character time.
[[nodiscard]] double lineFreeAfter(std::span<const TimedChunk> chunks, const LineTiming &timing);

} // namespace sim
