#include "answer_plan.h"

#include "frame_splitter.h"
#include "modbus/frame_timing.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace sim {

namespace {

std::optional<double> nonNegativeNumber(std::string_view text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0.0)
        return std::nullopt;
    return value;
}

} // namespace

bool addFault(Faults &faults, std::string_view text)
{
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const std::optional<std::string_view> argument =
        equals == std::string_view::npos ? std::nullopt : std::optional(text.substr(equals + 1));
    if (!argument) {
        if (name == "silent")
            faults.silent = true;
        else if (name == "bad-crc")
            faults.badCrc = true;
        else if (name == "short")
            faults.shortBy = kDefaultShortBy;
        else if (name == "garbage")
            faults.garbage = true;
        else
            return false;
        return true;
    }
    const std::optional<double> value = nonNegativeNumber(*argument);
    if (!value)
        return false;
    if (name == "short") {
        if (*value < 1.0 || *value > 255.0 || *value != std::floor(*value))
            return false;
        faults.shortBy = static_cast<int>(*value);
    } else if (name == "late") {
        faults.lateSeconds = *value / 1000.0;
    } else if (name == "split") {
        faults.splitSeconds = *value / 1000.0;
    } else {
        return false;
    }
    return true;
}

std::vector<std::uint8_t> corruptAnswer(std::vector<std::uint8_t> answer, const Faults &faults)
{
    if (answer.empty())
        return answer;
    if (faults.badCrc)
        answer.back() ^= 0xFF;
    if (faults.shortBy > 0) {
        const std::size_t keep = answer.size() > static_cast<std::size_t>(faults.shortBy)
                                     ? answer.size() - faults.shortBy
                                     : 1;
        answer.resize(keep);
    }
    return answer;
}

std::vector<TimedChunk> scheduleAnswer(std::span<const std::uint8_t> answer,
                                       std::size_t requestLength, double arrival, double lineFreeAt,
                                       const LineTiming &timing, const Faults &faults)
{
    std::vector<TimedChunk> chunks;
    if (answer.empty())
        return chunks;
    const double character = seconds(modbus::characterTime(timing.baud));
    double start = arrival + faults.lateSeconds;
    double earliest = lineFreeAt;
    if (timing.wire) {
        start += static_cast<double>(requestLength) * character +
                 seconds(modbus::frameSilence(timing.baud)) + timing.turnaroundSeconds;
        earliest += seconds(modbus::frameSilence(timing.baud));
    }
    start = std::max(start, earliest);
    if (!faults.splitSeconds && !timing.wire) {
        chunks.push_back({start, {answer.begin(), answer.end()}});
        return chunks;
    }
    const double spacing = faults.splitSeconds ? *faults.splitSeconds : character;
    for (std::size_t index = 0; index < answer.size(); ++index)
        chunks.push_back({start + static_cast<double>(index) * spacing, {answer[index]}});
    return chunks;
}

double lineFreeAfter(std::span<const TimedChunk> chunks, const LineTiming &timing)
{
    if (chunks.empty())
        return 0.0;
    const TimedChunk &last = chunks.back();
    if (!timing.wire)
        return last.at;
    return last.at +
           static_cast<double>(last.bytes.size()) * seconds(modbus::characterTime(timing.baud));
}

} // namespace sim
