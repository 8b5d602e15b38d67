#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// What rx904-sim's --log file tells about one run ("MONOTONIC_NS REALTIME_NS EVENT [DATA]").
struct SimLog
{
    struct Answer
    {
        long long lastByteNs = 0; // the instant its last byte was written ("answer-last")
        std::uint16_t crc = 0;    // its last two bytes as on the wire, first in the high half
    };
    std::vector<long long> requestNs; // the instants the request bytes were read
    std::vector<Answer> answers;
    int discarded = 0; // "discard" events: bytes that made no request
};

[[nodiscard]] std::optional<SimLog> readSimLog(const std::string &path, std::string &error);

} // namespace bench
