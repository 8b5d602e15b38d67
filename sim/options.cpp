#include "options.h"

#include "device_model.h"

#include <charconv>
#include <cmath>

namespace sim {

namespace {

template <typename T> std::optional<T> number(std::string_view text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

// "I=V", I 0..14, V 0..65535 or -32768..-1 for two's complement.
std::optional<std::pair<int, std::uint16_t>> registerSetting(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> index = number<int>(text.substr(0, equals));
    const std::optional<long> value = number<long>(text.substr(equals + 1));
    if (!index || !value || *index < 0 || *index >= kRegisterCount || *value < -32768 ||
        *value > 65535)
        return std::nullopt;
    return std::pair{*index, static_cast<std::uint16_t>(*value < 0 ? *value + 65536 : *value)};
}

// "2564" or "0x0A04".
std::optional<std::uint16_t> registerAddress(std::string_view text)
{
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

} // namespace

ParsedOptions parseOptions(std::span<const std::string_view> arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view name = arguments[i];
        std::optional<std::string_view> inlineValue;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string_view::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const auto flag = [&]() { return !inlineValue; };
        std::string missing;
        const auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            missing = std::string(name) + " needs a value";
            return std::nullopt;
        };
        const auto bad = [&](std::string_view what) {
            return ParsedOptions{std::nullopt, missing.empty()
                                                   ? std::string(name) + ": " + std::string(what)
                                                   : missing};
        };

        if ((name == "--help" || name == "-h") && flag()) {
            options.help = true;
        } else if (name == "--wire-timing" && flag()) {
            options.wireTiming = true;
        } else if (name == "--station") {
            const auto text = value();
            const auto station = text ? number<int>(*text) : std::nullopt;
            if (!station || *station < kMinStation || *station > kMaxStation)
                return bad("a station address 1..250 is needed");
            options.station = *station;
        } else if (name == "--ident") {
            const auto text = value();
            if (!text)
                return bad("");
            options.identification = std::string(*text);
        } else if (name == "--register") {
            const auto text = value();
            const auto setting = text ? registerSetting(*text) : std::nullopt;
            if (!setting)
                return bad("I=V is needed, I 0..14, V -32768..65535");
            options.registers.push_back(*setting);
        } else if (name == "--baud") {
            const auto text = value();
            const auto baud = text ? number<int>(*text) : std::nullopt;
            if (!baud || *baud < 50 || *baud > 4000000)
                return bad("a line speed 50..4000000 is needed");
            options.baud = *baud;
        } else if (name == "--turnaround") {
            const auto text = value();
            const auto ms = text ? number<double>(*text) : std::nullopt;
            if (!ms || *ms < 0)
                return bad("milliseconds >= 0 are needed");
            options.turnaroundSeconds = *ms / 1000.0;
        } else if (name == "--delivery") {
            const auto text = value();
            const auto delivery = text ? parseDelivery(*text) : std::nullopt;
            if (!delivery)
                return bad("byte, fifo=N, pieces=MS or usb=MS is needed");
            options.delivery = *delivery;
        } else if (name == "--log") {
            const auto text = value();
            if (!text || text->empty())
                return bad("a file name is needed");
            options.logPath = std::string(*text);
        } else if (name == "--link") {
            const auto text = value();
            if (!text || text->empty())
                return bad("a path is needed");
            options.linkPath = std::string(*text);
        } else if (name == "--tcp") {
            const auto text = value();
            if (!text || text->find(':') == std::string_view::npos)
                return bad("HOST:PORT is needed, e.g. 127.0.0.1:0");
            options.tcpAddress = std::string(*text);
        } else if (name == "--fault") {
            const auto text = value();
            if (!text || !addFault(options.faults, *text))
                return bad("unknown fault (silent, bad-crc, short[=N], late=MS, split=MS, "
                           "garbage)");
        } else if (name == "--garbage-rate") {
            const auto text = value();
            const auto rate = text ? number<double>(*text) : std::nullopt;
            if (!rate || *rate <= 0)
                return bad("bytes per second > 0 are needed");
            options.garbageRate = *rate;
        } else if (name == "--exit-after") {
            const auto text = value();
            const auto seconds = text ? number<double>(*text) : std::nullopt;
            if (!seconds || *seconds < 0)
                return bad("seconds >= 0 are needed");
            options.exitAfterSeconds = *seconds;
        } else if (name == "--close-after-requests") {
            const auto text = value();
            const auto count = text ? number<long>(*text) : std::nullopt;
            if (!count || *count < 1)
                return bad("a count >= 1 is needed");
            options.closeAfterRequests = *count;
        } else if (name == "--refuse-write") {
            const auto text = value();
            const auto address = text ? registerAddress(*text) : std::nullopt;
            if (!address)
                return bad("a register address 0..65535 is needed (decimal or 0x hex)");
            options.refuseWrite = *address;
        } else if (name == "--miss-first") {
            const auto text = value();
            const auto count = text ? number<long>(*text) : std::nullopt;
            if (!count || *count < 1)
                return bad("a count >= 1 is needed");
            options.missFirst = *count;
        } else {
            return ParsedOptions{std::nullopt, "unknown option " + std::string(arguments[i])};
        }
    }
    if (!options.tcpAddress.empty() && !options.linkPath.empty())
        return ParsedOptions{std::nullopt, "--link names a terminal; there is none with --tcp"};
    return ParsedOptions{options, {}};
}

std::string usageText()
{
    return R"(Usage: rx904-sim [OPTION]...
A simulated RX904 voltage controller on a pseudo-terminal, speaking Modbus RTU.
Prints the terminal's path (the port to open) as its first line, then runs until
SIGINT or SIGTERM. With --tcp it is a device behind a serial device server instead,
and the first line is the address to open, "tcp://HOST:PORT".

Device:
  --station N            station address 1..250 (default 1)
  --ident TEXT           identification text, cut or blank-padded to 11 bytes
                         (default "RX904-V1.00")
  --register I=V         power-up value of register I (0..14), V 0..65535 or
                         -32768..-1 (two's complement); repeatable. 0 holds the
                         measured value still (tenths), 9 sets the station.
Line:
  --baud N               line speed for timing and the baud-rate register
                         (default 9600). The device answers only while the
                         tool's side of the terminal is set to its speed (the
                         baud-rate register, or N when N is none of the five
                         speeds), and takes a written speed after its echo.
  --wire-timing          answer with the timing of a real line: wait for the
                         request's transmission and 3.5 characters of silence,
                         then send one byte per character time (10 bits at 8N1)
  --delivery MODE        how the tool's end hands a wire-timed answer over:
                         byte (default; a UART without FIFO), fifo=N (every N
                         bytes, the rest after 4 silent characters, as a 16550
                         with its trigger at N), pieces=MS (what has arrived,
                         every MS), usb=MS (the whole answer MS after its last
                         byte, as a USB adapter's latency timer)
  --turnaround MS        extra delay before an answer with --wire-timing
                         (default 0)
  --link PATH            keep a symbolic link PATH to the terminal (replaces an
                         existing link; removed on exit)
  --tcp HOST:PORT        serve RTU over TCP on that address instead of a
                         pseudo-terminal (port 0: a free one, printed); one client
                         at a time, a second is refused while one is connected
  --log FILE             one line per event, see below
Faults:
  --fault silent         never answer (requests are not carried out)
  --fault bad-crc        answers carry a wrong CRC
  --fault short[=N]      answers lose their last N bytes (default 3)
  --fault late=MS        answers are delayed by MS milliseconds
  --fault split=MS       answers are written one byte at a time, MS apart
  --fault garbage        send random bytes all the time, ignore requests
  --garbage-rate B       bytes per second for garbage (default: as fast as the
                         terminal takes them)
  --exit-after S         close the terminal and exit after S seconds
  --close-after-requests N
                         close the terminal and exit once N answers are sent
  --refuse-write REG     refuse every write to register address REG (decimal or
                         0x hex, e.g. 0x0A04) with exception 04; nothing is stored
  --miss-first N         the first N requests are neither carried out nor answered
  -h, --help             this text

Log lines: MONOTONIC_NS REALTIME_NS EVENT [DATA]
  start PATH             the terminal (or the TCP address) is ready
  connect, disconnect    a TCP client came or went
  request HEX            a frame with a valid CRC was received
  no-answer REASON       it gets no answer (other-station, broadcast, silent,
                         wrong-speed, missed)
  answer-first           the answer's first byte was written
  answer-last HEX        the answer's last byte was written; HEX is the answer
  discard N              N received bytes belonged to no valid frame
  unread N               on closing, N written bytes were still unread by the tool
  exit REASON            the simulator stops (signal, exit-after, close-after-requests)
)";
}

} // namespace sim
