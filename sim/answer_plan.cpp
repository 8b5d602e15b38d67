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

std::optional<Delivery> parseDelivery(std::string_view text)
{
    if (text == "byte")
        return Delivery{};
    const auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view name = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    if (name == "fifo") {
        int size = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), size);
        if (error != std::errc() || end != value.data() + value.size() || size < 1 || size > 64)
            return std::nullopt;
        return Delivery{Delivery::Kind::Fifo, size, 0.0};
    }
    const auto ms = nonNegativeNumber(value);
    if (!ms || *ms <= 0)
        return std::nullopt;
    if (name == "pieces")
        return Delivery{Delivery::Kind::Pieces, 0, *ms};
    if (name == "usb")
        return Delivery{Delivery::Kind::Usb, 0, *ms};
    return std::nullopt;
}

std::vector<TimedChunk> deliver(std::vector<TimedChunk> chunks, const LineTiming &timing)
{
    const Delivery &delivery = timing.delivery;
    if (!timing.wire || chunks.size() < 2 || delivery.kind == Delivery::Kind::Byte)
        return chunks;
    const double character = seconds(modbus::characterTime(timing.baud));
    std::vector<TimedChunk> grouped;
    const auto append = [&](double at, const TimedChunk &chunk) {
        if (grouped.empty() || grouped.back().at != at)
            grouped.push_back({at, {}});
        grouped.back().bytes.insert(grouped.back().bytes.end(), chunk.bytes.begin(),
                                    chunk.bytes.end());
    };
    const double first = chunks.front().at;
    const double last = chunks.back().at + character;
    for (std::size_t index = 0; index < chunks.size(); ++index) {
        // A byte is there once its last bit has crossed the line.
        const double arrived = chunks[index].at + character;
        switch (delivery.kind) {
        case Delivery::Kind::Fifo: {
            const std::size_t size = static_cast<std::size_t>(delivery.size);
            const std::size_t groupEnd = (index / size + 1) * size;
            append(groupEnd <= chunks.size() ? chunks[groupEnd - 1].at + character
                                             : last + 4 * character,
                   chunks[index]);
            break;
        }
        case Delivery::Kind::Pieces: {
            const double period = delivery.ms / 1000.0;
            append(first + std::ceil((arrived - first) / period) * period, chunks[index]);
            break;
        }
        case Delivery::Kind::Usb:
            append(last + delivery.ms / 1000.0, chunks[index]);
            break;
        case Delivery::Kind::Byte:
            break;
        }
    }
    return grouped;
}

} // namespace sim
