// The exchange judge on arbitrary requests and answers. The input is one flag byte (bit 0:
// any station may answer; bit 1: the answer's bytes get their CRC appended, so that whole,
// intact answers are reached), one byte giving the request's length (0..15), the request and
// then the answer. Checked: an answer called Complete has a CRC that holds and the length the
// request implies; ExtraBytes is a Complete answer with bytes after it; a refusal is the 5
// bytes of function | 0x80; and every piece shorter than the answer's length is Incomplete.
#include "modbus/crc16.h"
#include "modbus/exchange_judge.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using modbus::Verdict;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "exchange judge rule broken: %s\n", what);
    std::abort();
}

void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

void checkJudgement(std::span<const std::uint8_t> request, std::span<const std::uint8_t> answer,
                    bool anyStation)
{
    const modbus::Judgement judgement = modbus::judgeAnswer(request, answer, anyStation);
    const std::optional<int> implied = modbus::expectedAnswerLength(request);
    const auto own = [&] { return answer.first(static_cast<std::size_t>(judgement.expected)); };
    require(judgement.received == static_cast<int>(answer.size()),
            "received is not the bytes given");

    switch (judgement.verdict) {
    case Verdict::Complete:
        require(modbus::crcHolds(answer), "Complete with a CRC that does not hold");
        if (implied)
            require(judgement.expected == *implied && judgement.received == *implied,
                    "Complete at another length than the request implies");
        else
            require(judgement.expected == 0, "Complete of unknown length given a length");
        break;
    case Verdict::ExtraBytes:
        require(implied && judgement.expected == *implied, "ExtraBytes after an unknown length");
        require(judgement.received > judgement.expected, "ExtraBytes with nothing after");
        require(modbus::judgeAnswer(request, own(), anyStation).verdict == Verdict::Complete,
                "ExtraBytes after an answer that is not Complete");
        break;
    case Verdict::Exception:
        require(judgement.expected == modbus::kExceptionAnswerLength, "refusal of another length");
        require(request.size() >= 2 && answer[1] == (request[1] | 0x80),
                "refusal of another function");
        require(modbus::crcHolds(own()), "refusal with a CRC that does not hold");
        require(judgement.exceptionCode == answer[2], "exception code not byte 2");
        break;
    case Verdict::Incomplete:
        require(judgement.received < judgement.expected ||
                    (judgement.expected == 0 && judgement.received < 5),
                "Incomplete with all its bytes in");
        break;
    default:
        require(judgement.received >= (judgement.expected > 0 ? judgement.expected : 5),
                "judged before the answer's length was in");
        require(judgement.crcGood() == (judgement.verdict != Verdict::BadCrc), "crcGood");
        break;
    }

    // Whatever the whole is, each piece of it shorter than its length is still incomplete.
    if (judgement.verdict != Verdict::Incomplete) {
        for (int length = 0; length < judgement.expected; ++length) {
            const modbus::Judgement piece = modbus::judgeAnswer(
                request, answer.first(static_cast<std::size_t>(length)), anyStation);
            require(piece.verdict == Verdict::Incomplete, "a piece judged before it was whole");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0];
    const std::size_t requestLength = std::min<std::size_t>(data[1] % 16, size - 2);
    const std::span<const std::uint8_t> request(data + 2, requestLength);
    Bytes answer(data + 2 + requestLength, data + size);
    if ((flags & 2) != 0)
        modbus::appendCrc(answer);
    checkJudgement(request, answer, (flags & 1) != 0);
    return 0;
}
