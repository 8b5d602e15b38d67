#pragma once
#include "answer_plan.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct Options
{
    std::optional<int> station;
    std::optional<std::string> identification;
    std::vector<std::pair<int, std::uint16_t>> registers; // in the order given
    int baud = 9600;
    bool wireTiming = false;
    double turnaroundSeconds = 0.0;
    Delivery delivery;
    std::string logPath;
    std::string linkPath;
    std::string tcpAddress; // "HOST:PORT": serve over TCP instead of a pseudo-terminal
    Faults faults;
    std::optional<double> garbageRate; // bytes per second; none: as fast as the line takes
    std::optional<double> exitAfterSeconds;
    std::optional<long> closeAfterRequests;
    std::optional<std::uint16_t> refuseWrite; // a register address whose writes fail
    long missFirst = 0;                       // requests that go unanswered at first
    bool help = false;
};

struct ParsedOptions
{
    std::optional<Options> options; // nothing when the command line is wrong
    std::string error;
};

// The arguments after the program name; "--name value" and "--name=value" both work.
[[nodiscard]] ParsedOptions parseOptions(std::span<const std::string_view> arguments);

[[nodiscard]] std::string usageText();

} // namespace sim
