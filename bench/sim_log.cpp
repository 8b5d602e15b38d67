#include "sim_log.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace bench {
namespace {

std::optional<std::uint16_t> lastTwoBytes(const std::string &hex)
{
    if (hex.size() < 4 || hex.size() % 2 != 0)
        return std::nullopt;
    unsigned value = 0;
    const char *first = hex.data() + hex.size() - 4;
    const auto [end, failure] = std::from_chars(first, first + 4, value, 16);
    if (failure != std::errc{} || end != first + 4)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

} // namespace

std::optional<SimLog> readSimLog(const std::string &path, std::string &error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    SimLog log;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        long long monotonic = 0;
        long long realtime = 0;
        std::string event;
        std::string data;
        if (!(fields >> monotonic >> realtime >> event))
            continue;
        fields >> data;
        if (event == "request") {
            log.requestNs.push_back(monotonic);
        } else if (event == "answer-last") {
            if (const auto crc = lastTwoBytes(data))
                log.answers.push_back({monotonic, *crc});
        } else if (event == "discard") {
            ++log.discarded;
        }
    }
    return log;
}

} // namespace bench
