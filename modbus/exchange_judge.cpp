#include "exchange_judge.h"

#include "crc16.h"
#include "request_frame.h"

#include <algorithm>
#include <climits>

namespace modbus {
namespace {

// Read input registers: not the RX904's, but answered in the same shape as 03.
constexpr std::uint8_t kFunctionReadInput = 0x04;
// A byte count of at most 255 carries 125 registers in Modbus' own limit.
constexpr int kMaxReadCount = 125;
constexpr std::uint8_t kBroadcastStation = 0;
// Station, function and byte count before the data; CRC after it.
constexpr std::size_t kFrameOverhead = 5;

int wordAt(std::span<const std::uint8_t> frame, std::size_t at)
{
    return frame[at] << 8 | frame[at + 1];
}

// The first rule the answer's own bytes break, or Complete.
Verdict contentVerdict(std::span<const std::uint8_t> request, std::span<const std::uint8_t> frame,
                       bool exceptionForm, bool lengthKnown, bool anyStation)
{
    if (!crcHolds(frame))
        return Verdict::BadCrc;
    const bool stationAsked =
        !request.empty() && request[0] != kBroadcastStation && frame[0] == request[0];
    if (!anyStation && !stationAsked)
        return Verdict::WrongStation;
    if (exceptionForm)
        return Verdict::Exception;
    if (request.size() < 2 || frame[1] != request[1])
        return Verdict::WrongFunction;
    if (!lengthKnown)
        return Verdict::Complete;
    // A write is answered by its own echo; the CRC holding, the first six bytes decide.
    if (request[1] == kFunctionWriteSingle)
        return std::ranges::equal(frame.first(6), request.first(6)) ? Verdict::Complete
                                                                    : Verdict::WrongContent;
    // Reads and the identification say how many data bytes lie between header and CRC.
    return frame[2] + kFrameOverhead == frame.size() ? Verdict::Complete : Verdict::WrongContent;
}

} // namespace

std::optional<int> expectedAnswerLength(std::span<const std::uint8_t> request)
{
    if (request.size() != static_cast<std::size_t>(kRequestLength))
        return std::nullopt;
    switch (request[1]) {
    case kFunctionReadHolding:
    case kFunctionReadInput: {
        const int count = wordAt(request, 4);
        if (count < 1 || count > kMaxReadCount)
            return std::nullopt;
        return readAnswerLength(count);
    }
    case kFunctionWriteSingle:
        return kRequestLength;
    case kFunctionDeviceInfo:
        return kDeviceInfoAnswerLength;
    default:
        return std::nullopt;
    }
}

bool crcHolds(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 4)
        return false;
    const std::uint16_t crc = Crc16(frame.first(frame.size() - 2));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

Judgement judgeAnswer(std::span<const std::uint8_t> request, std::span<const std::uint8_t> answer,
                      bool anyStation)
{
    Judgement judgement;
    judgement.received = static_cast<int>(std::min<std::size_t>(answer.size(), INT_MAX));
    const std::optional<int> normal = expectedAnswerLength(request);
    const bool exceptionForm =
        request.size() >= 2 && answer.size() >= 2 && answer[1] == (request[1] | 0x80);
    judgement.expected = exceptionForm ? kExceptionAnswerLength : normal.value_or(0);

    // An answer of unknown length is all that is given, once that could be the shortest.
    const int expected = judgement.expected;
    if (judgement.received < (expected > 0 ? expected : kExceptionAnswerLength))
        return judgement;
    const std::span<const std::uint8_t> frame =
        expected > 0 ? answer.first(static_cast<std::size_t>(expected)) : answer;
    judgement.verdict =
        contentVerdict(request, frame, exceptionForm, normal.has_value(), anyStation);
    if (judgement.verdict == Verdict::Exception)
        judgement.exceptionCode = frame[2];
    if (judgement.verdict == Verdict::Complete && frame.size() < answer.size())
        judgement.verdict = Verdict::ExtraBytes;
    return judgement;
}

} // namespace modbus
