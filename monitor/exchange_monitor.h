#pragma once
#include "modbus/exchange_judge.h"
#include "modbus/frame_timing.h"
#include "modbus/register_map.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace monitor {

using TimePoint = std::chrono::steady_clock::time_point;
using Clock = std::function<TimePoint()>;
using Bytes = std::vector<std::uint8_t>;

// Line: an event of the line itself (opened, closed, lost, speed changed, lent), no bytes.
enum class Direction { Sent, Received, Line };

// How a frame was judged. A request is always Request; the rest are answers or the rows
// that stand for them.
enum class Verdict {
    Request,
    Complete,
    BadCrc,
    Exception,
    Incomplete,  // fewer bytes than the request asks for, then the time-out
    Interrupted, // the next request left while the answer was still coming, and its rest
    NoAnswer,    // nothing at all; the row has no bytes
    Unsolicited, // bytes with no request waiting
    LineEvent,   // a row of Direction::Line
};

// A frame's meaning in words. Polling repeats the same few meanings, so equal texts share
// one copy: a full record holds 100 000 of them.
class Meaning
{
public:
    Meaning() : Meaning(std::string()) {}
    Meaning(std::string text); // NOLINT: implicit, a meaning is its text
    Meaning(const char *text) : Meaning(std::string(text)) {} // NOLINT
    operator const std::string &() const { return *m_text; }  // NOLINT
    [[nodiscard]] const std::string &text() const { return *m_text; }
    friend bool operator==(const Meaning &a, const std::string &b) { return *a.m_text == b; }

private:
    std::shared_ptr<const std::string> m_text;
};

// One row of the traffic record: a whole frame, never a piece of one.
struct Frame
{
    TimePoint at; // request: when it was written; answer: when its last byte came in
    Direction direction = Direction::Sent;
    Verdict verdict = Verdict::Request;
    Bytes bytes;
    Meaning meaning;
    // From the request's last byte leaving to the answer's last byte arriving.
    std::optional<std::chrono::microseconds> responseTime;
};

inline constexpr int kFieldCount = 15;

// Modbus RTU: station, PDU of at most 253 bytes, CRC.
inline constexpr std::size_t kLongestFrame = 256;

// The registers of one complete query answer, by value field (0..14). Kept compact, as the
// trend holds an hour of them.
struct Sample
{
    TimePoint at;
    std::uint16_t present = 0; // bit f: field f was in the answer
    std::uint8_t station = 0;
    std::array<std::uint16_t, kFieldCount> raw{};

    // A present register as the window shows it, as a number (the measured value in units,
    // not tenths), for plotting.
    [[nodiscard]] double value(int field) const { return modbus::fieldValue(field, raw[field]); }

    [[nodiscard]] bool has(int field) const { return (present >> field & 1) != 0; }
};

struct Counters
{
    long long requests = 0;
    long long complete = 0;
    long long badCrc = 0;
    long long exceptions = 0;
    long long incomplete = 0;
    long long unanswered = 0;
    std::optional<std::chrono::microseconds> lastResponse;
    std::optional<std::chrono::microseconds> maxResponse;
    std::chrono::microseconds responseSum{0};
    long long responses = 0;
    // Polling faster than one exchange takes on the line: the last gap between two requests
    // and what the exchange needs at the line's speed.
    struct Shortfall
    {
        std::chrono::milliseconds period;
        std::chrono::milliseconds needed;
        int baud = 0;
    };
    std::optional<Shortfall> shortfall;

    // Requests judged so far without a usable answer (none, incomplete, bad CRC), as a share
    // of the requests judged; 0 before the first judgement.
    [[nodiscard]] double lostShare() const;
    [[nodiscard]] std::optional<std::chrono::microseconds> meanResponse() const;
};

inline constexpr std::chrono::milliseconds kDefaultTimeout{1000};

// The serial line a request crosses: its speed and one character in half bits.
struct Line
{
    int baud = 9600;
    int halfBits = modbus::kHalfBits8N1;
};

// Turns what the serial control writes and reads into judged frames. Answers are cut at the
// length the request asks for (an exception answer at 5 bytes) and judged by
// modbus::judgeAnswer; bytes with no request waiting end at a silence. All times come from
// the pieces or from the injected clock, so nothing here sleeps or reads the system's time.
class ExchangeMonitor
{
public:
    explicit ExchangeMonitor(Clock clock);

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    [[nodiscard]] std::chrono::milliseconds timeout() const { return m_timeout; }
    // The line of the requests sent from now on, 9600 8N1 until set: a request's last byte
    // leaves its length in characters after the write. Nothing for a network connection,
    // whose bytes leave as they are written.
    void setLine(std::optional<Line> line);

    void sent(std::span<const std::uint8_t> bytes, TimePoint at);
    void received(std::span<const std::uint8_t> bytes, TimePoint at);
    // Something happened to the line itself; a row of its own, in the order it came.
    void lineEvent(std::string text, TimePoint at);
    // Judges what the clock's time decides: a request past its time-out, bytes with no
    // request that have fallen silent.
    void poll();
    // True while a request or bytes wait for a judgement that only time can bring.
    [[nodiscard]] bool waiting() const { return m_pending.has_value() || !m_buffer.empty(); }

    // The frames and query samples judged since the last call, oldest first.
    [[nodiscard]] std::vector<Frame> takeFrames();
    [[nodiscard]] std::vector<Sample> takeSamples();

    [[nodiscard]] const Counters &counters() const { return m_counters; }
    void resetCounters() { m_counters = {}; }

private:
    struct Pending
    {
        Bytes request;
        TimePoint at;
        TimePoint left; // its last byte on the line
    };

    [[nodiscard]] modbus::Judgement judgePending() const;
    void cutAnswers();
    void takeAnswer(const modbus::Judgement &judgement);
    void closePending(TimePoint now);
    void interruptPending();
    void flushRest();
    void noteShortfall(std::span<const std::uint8_t> request, TimePoint at);
    // The bytes waiting with no request, as rows of at most kLongestFrame bytes.
    void flushUnsolicited();
    void flushUnsolicitedRow();
    void countResponse(std::chrono::microseconds time);

    Clock m_clock;
    std::chrono::nanoseconds m_silence;
    std::chrono::nanoseconds m_characterTime;
    int m_baud = 0;
    std::optional<TimePoint> m_lastRequestAt;
    // Bytes the interrupted answer still owes: the device goes on sending them after the next
    // request has left, and they are its rest, not the start of the next answer.
    Bytes m_rest;
    std::size_t m_owed = 0;
    std::chrono::milliseconds m_timeout = kDefaultTimeout;
    std::optional<Pending> m_pending;
    Bytes m_buffer;
    TimePoint m_bufferLast;
    std::vector<Frame> m_frames;
    std::vector<Sample> m_samples;
    Counters m_counters;
};

// What a request means in words: "读寄存器 站1 起始0 数量15", "写参数 报警高值 = 800".
[[nodiscard]] std::string requestMeaning(std::span<const std::uint8_t> request);

} // namespace monitor
