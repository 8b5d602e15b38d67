#pragma once
#include <cstdint>
#include <optional>
#include <span>

namespace modbus {

// An exception answer: station, function | 0x80, exception code, CRC low, CRC high.
inline constexpr int kExceptionAnswerLength = 5;

// A read answer of `count` registers: station, function, byte count, 2 x count data, CRC.
[[nodiscard]] constexpr int readAnswerLength(int count)
{
    return 3 + 2 * count + 2;
}

// The normal answer a request frame asks for, from the frame alone: 03 and 04 reading 1 to
// 125 registers (the most one answer's byte count can carry) answer 5 + 2n bytes, 06 is
// echoed (8), the identification 0x26 answers 16. Nothing for any other frame, which has
// no normal answer of a known length; its exception form is always kExceptionAnswerLength.
[[nodiscard]] std::optional<int> expectedAnswerLength(std::span<const std::uint8_t> request);

// True when the frame's last two bytes are the CRC-16/MODBUS of the rest, low byte first.
// Frames shorter than 4 bytes (station, function, CRC: the shortest frame) never hold.
[[nodiscard]] bool crcHolds(std::span<const std::uint8_t> frame);

enum class Verdict {
    Complete,      // the whole answer, good CRC, from the station and for the function asked
    Exception,     // the device refused: function | 0x80 and an exception code, good CRC
    BadCrc,        // the answer's length is in but its CRC does not match its bytes
    WrongStation,  // good CRC, another station answered
    WrongFunction, // good CRC, the answer is for another function
    // Good CRC, station and function, yet not the answer to this request: a read's or the
    // identification's byte count is not the request's, or a write's echo differs from it.
    WrongContent,
    Incomplete, // fewer bytes than the answer needs (see `received` and `expected`)
    ExtraBytes, // a Complete answer followed by bytes that belong to nothing
};

struct Judgement
{
    Verdict verdict = Verdict::Incomplete;
    int exceptionCode = 0; // with Exception
    int received = 0;      // bytes given
    // The length the answer needs: the normal or, once byte 1 says so, the exception form.
    // 0 when the request's answer length is unknown.
    int expected = 0;

    // The answer's own bytes (the first `expected`) are in and their CRC holds.
    [[nodiscard]] bool crcGood() const
    {
        return verdict == Verdict::Complete || verdict == Verdict::Exception ||
               verdict == Verdict::WrongStation || verdict == Verdict::WrongFunction ||
               verdict == Verdict::WrongContent || verdict == Verdict::ExtraBytes;
    }
};

// Judges the bytes received after `request`, the first byte being the answer's first. The
// answer's own bytes are the first `expected`; once they are in, the first that applies of
// BadCrc, WrongStation, Exception, WrongFunction, WrongContent, else Complete, or ExtraBytes
// when more bytes follow. Bytes after any other verdict change nothing about it; `received`
// above `expected` tells they are there.
//
// The answer must come from the station asked; nothing answers a broadcast (station 0).
// With `anyStation` any station may answer (the address read: the device answers station
// 250 with its own). A request whose answer length is unknown (`expected` 0) takes
// everything given as one frame, from 5 bytes on, by the same rules but for WrongContent;
// its exception form is still judged at 5 bytes.
[[nodiscard]] Judgement judgeAnswer(std::span<const std::uint8_t> request,
                                    std::span<const std::uint8_t> answer, bool anyStation = false);

} // namespace modbus
