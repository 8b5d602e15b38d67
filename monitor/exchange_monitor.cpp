#include "exchange_monitor.h"

#include "modbus/answer_decoder.h"
#include "modbus/exchange_judge.h"
#include "modbus/frame_timing.h"
#include "modbus/hex_text.h"
#include "modbus/register_map.h"
#include "modbus/request_frame.h"
#include "translations/device_texts.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace monitor {

namespace {

using std::chrono::duration_cast;
using std::chrono::microseconds;

// The system hands received bytes over in bursts: a USB serial adapter every 16 ms by
// default (its latency timer). A gap shorter than that is no proof of a frame's end.
constexpr std::chrono::milliseconds kDeliveryAllowance{16};

std::uint16_t wordAt(std::span<const std::uint8_t> frame, std::size_t at)
{
    return static_cast<std::uint16_t>(frame[at] << 8 | frame[at + 1]);
}

// Never below zero: a USB adapter may hand an echo or an early answer over before the
// request's last byte has left by the line's count.
microseconds responseTime(TimePoint left, TimePoint answered)
{
    return std::max(microseconds::zero(), duration_cast<microseconds>(answered - left));
}

// Two capital hex digits of the byte's value, as the frames are shown.
QString hex2(int value)
{
    return QString::fromStdString(modbus::FormatHex(static_cast<std::uint8_t>(value)));
}

const modbus::RegisterRow *rowWritten(std::uint16_t address)
{
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        if (row.setButton >= 0 && row.writeRegister == address)
            return &row;
    }
    return nullptr;
}

bool isReadRequest(std::span<const std::uint8_t> request)
{
    return request.size() == modbus::kRequestLength && request[1] == modbus::kFunctionReadHolding;
}

bool isAddressRead(std::span<const std::uint8_t> request)
{
    return isReadRequest(request) && request[0] == modbus::kAddressReadStation &&
           wordAt(request, 2) == 0 && wordAt(request, 4) == 1;
}

std::string answerMeaning(std::span<const std::uint8_t> request,
                          std::span<const std::uint8_t> answer)
{
    const std::uint8_t function = request.size() > 1 ? request[1] : 0;
    if (function == modbus::kFunctionDeviceInfo) {
        const std::optional<std::string> text = modbus::deviceInfoText(answer);
        return QCoreApplication::translate("ExchangeMonitor", "应答 设备信息 %1")
            .arg(QString::fromStdString(text.value_or(std::string())))
            .toStdString();
    }
    if (isAddressRead(request))
        return QCoreApplication::translate("ExchangeMonitor", "应答 地址 %1")
            .arg(answer[0])
            .toStdString();
    if (function == modbus::kFunctionWriteSingle)
        return QCoreApplication::translate("ExchangeMonitor", "应答 已写入").toStdString();
    if (function == modbus::kFunctionReadHolding)
        return QCoreApplication::translate("ExchangeMonitor", "应答 %1个寄存器")
            .arg(answer[2] / 2)
            .toStdString();
    return QCoreApplication::translate("ExchangeMonitor", "应答").toStdString();
}

std::string mismatchMeaning(modbus::Verdict verdict, std::span<const std::uint8_t> answer)
{
    if (verdict == modbus::Verdict::WrongStation)
        return QCoreApplication::translate("ExchangeMonitor", "应答 站号不符 (站%1)")
            .arg(answer[0])
            .toStdString();
    if (verdict == modbus::Verdict::WrongFunction)
        return QCoreApplication::translate("ExchangeMonitor", "应答 功能码不符 (0x%1)")
            .arg(hex2(answer[1]))
            .toStdString();
    return QCoreApplication::translate("ExchangeMonitor", "应答 内容与请求不符").toStdString();
}

// The registers of a complete answer to a read of the value fields.
Sample sampleOf(std::span<const std::uint8_t> request, std::span<const std::uint8_t> answer,
                TimePoint at)
{
    Sample sample;
    sample.at = at;
    sample.station = answer[0];
    const int start = wordAt(request, 2);
    const int count = answer[2] / 2;
    for (int k = 0; k < count && 3 + 2 * k + 1 < static_cast<int>(answer.size()) - 2; ++k) {
        const int field = start + k;
        if (field < 0 || field >= kFieldCount)
            continue;
        sample.raw[field] = wordAt(answer, 3 + 2 * k);
        sample.present |= static_cast<std::uint16_t>(1U << field);
    }
    return sample;
}

} // namespace

Meaning::Meaning(std::string text)
{
    // The newest distinct texts, searched newest first; a text that falls out of the pool
    // lives on in the frames that hold it.
    constexpr std::size_t kPoolSize = 64;
    static std::vector<std::shared_ptr<const std::string>> pool;
    for (auto it = pool.rbegin(); it != pool.rend(); ++it) {
        if (**it == text) {
            m_text = *it;
            return;
        }
    }
    m_text = std::make_shared<const std::string>(std::move(text));
    if (pool.size() == kPoolSize)
        pool.erase(pool.begin());
    pool.push_back(m_text);
}

double Counters::lostShare() const
{
    const long long lost = badCrc + incomplete + unanswered;
    const long long judged = lost + complete + exceptions;
    return judged == 0 ? 0.0 : static_cast<double>(lost) / static_cast<double>(judged);
}

std::optional<microseconds> Counters::meanResponse() const
{
    if (responses == 0)
        return std::nullopt;
    return responseSum / responses;
}

std::string requestMeaning(std::span<const std::uint8_t> request)
{
    if (request.size() != modbus::kRequestLength)
        return QCoreApplication::translate("ExchangeMonitor", "请求 %1字节")
            .arg(request.size())
            .toStdString();
    const std::uint16_t address = wordAt(request, 2);
    const std::uint16_t value = wordAt(request, 4);
    switch (request[1]) {
    case modbus::kFunctionReadHolding:
        if (isAddressRead(request))
            return QCoreApplication::translate("ExchangeMonitor", "读地址").toStdString();
        return QCoreApplication::translate("ExchangeMonitor", "读寄存器 站%1 起始%2 数量%3")
            .arg(request[0])
            .arg(address)
            .arg(value)
            .toStdString();
    case modbus::kFunctionWriteSingle:
        if (address == modbus::kAddressRegister)
            return QCoreApplication::translate("ExchangeMonitor", "修改地址 %1 → %2")
                .arg(request[0])
                .arg(value)
                .toStdString();
        if (const modbus::RegisterRow *row = rowWritten(address))
            return QCoreApplication::translate("ExchangeMonitor", "写参数 %1 = %2")
                .arg(i18n::caption(*row),
                     QString::fromStdString(modbus::fieldText(row->field, value)))
                .toStdString();
        return QCoreApplication::translate("ExchangeMonitor", "写寄存器 站%1 地址0x%2 = %3")
            .arg(request[0])
            .arg(hex2(address >> 8) + hex2(address))
            .arg(value)
            .toStdString();
    case modbus::kFunctionDeviceInfo:
        return QCoreApplication::translate("ExchangeMonitor", "读设备信息").toStdString();
    default:
        return QCoreApplication::translate("ExchangeMonitor", "请求 站%1 功能码 0x%2")
            .arg(request[0])
            .arg(hex2(request[1]))
            .toStdString();
    }
}

ExchangeMonitor::ExchangeMonitor(Clock clock) : m_clock(std::move(clock))
{
    setLine(Line{});
}

void ExchangeMonitor::setLine(std::optional<Line> line)
{
    // Without a line of its own the converter's speed is unknown: 9600, the tool's start-up.
    const Line timed = line.value_or(Line{});
    m_silence = modbus::frameSilence(timed.baud, timed.halfBits) + kDeliveryAllowance;
    m_characterTime =
        line ? modbus::characterTime(line->baud, line->halfBits) : std::chrono::nanoseconds::zero();
    m_baud = line ? line->baud : 0;
}

void ExchangeMonitor::sent(std::span<const std::uint8_t> bytes, TimePoint at)
{
    // A new request ends whatever the last one was still waiting for.
    flushRest();
    interruptPending();
    closePending(at);
    flushUnsolicited();
    noteShortfall(bytes, at);
    Frame frame{at,
                Direction::Sent,
                Verdict::Request,
                Bytes(bytes.begin(), bytes.end()),
                requestMeaning(bytes),
                std::nullopt};
    const auto onTheLine = m_characterTime * static_cast<std::int64_t>(bytes.size());
    m_pending = Pending{frame.bytes, at, at + onTheLine};
    m_frames.push_back(std::move(frame));
    ++m_counters.requests;
}

void ExchangeMonitor::received(std::span<const std::uint8_t> bytes, TimePoint at)
{
    if (m_owed > 0) {
        const std::size_t rest = std::min(m_owed, bytes.size());
        m_rest.insert(m_rest.end(), bytes.begin(), bytes.begin() + static_cast<long>(rest));
        m_owed -= rest;
        m_bufferLast = at;
        bytes = bytes.subspan(rest);
        if (m_owed == 0)
            flushRest();
    }
    if (bytes.empty())
        return;
    if (!m_buffer.empty() && at - m_bufferLast > m_silence && !m_pending)
        flushUnsolicited();
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    m_bufferLast = at;
    cutAnswers();
    // No RTU frame is longer than 256 bytes: bytes that never fall silent (a flood, a second
    // master that never pauses) become rows of that size instead of piling up.
    while (!m_pending && m_buffer.size() >= kLongestFrame)
        flushUnsolicitedRow();
}

void ExchangeMonitor::poll()
{
    const TimePoint now = m_clock();
    if (m_owed > 0 && now - m_bufferLast > m_silence)
        flushRest();
    if (m_pending && now - m_pending->at >= m_timeout)
        closePending(now);
    if (!m_pending && !m_buffer.empty() && now - m_bufferLast > m_silence)
        flushUnsolicited();
}

modbus::Judgement ExchangeMonitor::judgePending() const
{
    // The device answers the address read from its own station, whatever it is.
    return modbus::judgeAnswer(m_pending->request, m_buffer, isAddressRead(m_pending->request));
}

void ExchangeMonitor::cutAnswers()
{
    if (!m_pending)
        return;
    const modbus::Judgement judgement = judgePending();
    // An answer of unknown length is whole only when the time-out ends its request.
    if (judgement.verdict == modbus::Verdict::Incomplete || judgement.expected == 0)
        return;
    takeAnswer(judgement);
}

// The pending request's answer leaves the buffer as one frame: its own `expected` bytes, or
// all there is of it when its length is unknown or it is incomplete. Bytes after it stay.
void ExchangeMonitor::takeAnswer(const modbus::Judgement &judgement)
{
    const Pending request = std::move(*m_pending);
    m_pending.reset();
    const bool cut = judgement.verdict != modbus::Verdict::Incomplete && judgement.expected > 0;
    const auto length = static_cast<long>(cut ? judgement.expected : m_buffer.size());
    Frame frame;
    frame.at = m_bufferLast;
    frame.direction = Direction::Received;
    frame.bytes.assign(m_buffer.begin(), m_buffer.begin() + length);
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + length);
    const microseconds response = responseTime(request.left, frame.at);
    frame.responseTime = response;
    const std::span<const std::uint8_t> answer(frame.bytes);

    switch (judgement.verdict) {
    case modbus::Verdict::Incomplete:
        frame.verdict = Verdict::Incomplete;
        {
            frame.meaning =
                (judgement.expected > 0
                     ? QCoreApplication::translate("ExchangeMonitor", "不完整 (收到 %1/%2 字节)")
                           .arg(judgement.received)
                           .arg(judgement.expected)
                     : QCoreApplication::translate("ExchangeMonitor", "不完整 (收到 %1 字节)")
                           .arg(judgement.received))
                    .toStdString();
        }
        ++m_counters.incomplete;
        break;
    case modbus::Verdict::BadCrc:
        frame.verdict = Verdict::BadCrc;
        frame.meaning = QCoreApplication::translate("ExchangeMonitor", "CRC 错误").toStdString();
        ++m_counters.badCrc;
        break;
    case modbus::Verdict::Exception:
        frame.verdict = Verdict::Exception;
        frame.meaning = QCoreApplication::translate("ExchangeMonitor", "异常应答 功能码 0x%1 %2")
                            .arg(hex2(answer[1]), i18n::exceptionText(answer[2]))
                            .toStdString();
        ++m_counters.exceptions;
        countResponse(response);
        break;
    case modbus::Verdict::WrongStation:
    case modbus::Verdict::WrongFunction:
    case modbus::Verdict::WrongContent:
        // A whole, intact frame, but not the answer asked for: shown, never plotted.
        frame.verdict = Verdict::Complete;
        frame.meaning = mismatchMeaning(judgement.verdict, answer);
        ++m_counters.complete;
        countResponse(response);
        break;
    case modbus::Verdict::Complete:
    case modbus::Verdict::ExtraBytes:
        frame.verdict = Verdict::Complete;
        frame.meaning = answerMeaning(request.request, answer);
        ++m_counters.complete;
        countResponse(response);
        if (isReadRequest(request.request) && !isAddressRead(request.request))
            m_samples.push_back(sampleOf(request.request, answer, frame.at));
        break;
    }
    m_frames.push_back(std::move(frame));
}

void ExchangeMonitor::countResponse(microseconds time)
{
    m_counters.lastResponse = time;
    m_counters.maxResponse = std::max(m_counters.maxResponse.value_or(time), time);
    m_counters.responseSum += time;
    ++m_counters.responses;
}

// A request leaves while the answer to the one before is still coming: that answer is cut
// short by the master, not by the device, and what it still owes follows the new request.
void ExchangeMonitor::interruptPending()
{
    if (!m_pending || m_buffer.empty())
        return;
    const modbus::Judgement judgement = judgePending();
    if (judgement.verdict != modbus::Verdict::Incomplete || judgement.expected == 0)
        return;
    const Pending request = std::move(*m_pending);
    m_pending.reset();
    Frame frame;
    frame.at = m_bufferLast;
    frame.direction = Direction::Received;
    frame.verdict = Verdict::Interrupted;
    frame.meaning =
        QCoreApplication::translate("ExchangeMonitor", "被下一请求打断 (收到 %1/%2 字节)")
            .arg(judgement.received)
            .arg(judgement.expected)
            .toStdString();
    frame.responseTime = responseTime(request.left, m_bufferLast);
    frame.bytes.swap(m_buffer);
    ++m_counters.incomplete;
    m_owed = static_cast<std::size_t>(judgement.expected - judgement.received);
    m_frames.push_back(std::move(frame));
}

void ExchangeMonitor::flushRest()
{
    m_owed = 0;
    if (m_rest.empty())
        return;
    Frame frame;
    frame.at = m_bufferLast;
    frame.direction = Direction::Received;
    frame.verdict = Verdict::Interrupted;
    frame.meaning = QCoreApplication::translate("ExchangeMonitor", "被打断应答的其余 %1 字节")
                        .arg(m_rest.size())
                        .toStdString();
    frame.bytes.swap(m_rest);
    m_frames.push_back(std::move(frame));
}

// One exchange on the line: the request, the silence, the answer and the silence before the
// next request. 15 registers at 9600 baud 8N1: (8 + 35) x 1.042 ms + 2 x 3.646 ms = 52 ms.
void ExchangeMonitor::noteShortfall(std::span<const std::uint8_t> request, TimePoint at)
{
    const std::optional<TimePoint> last = std::exchange(m_lastRequestAt, at);
    const std::optional<int> answer = modbus::expectedAnswerLength(request);
    if (!last || !answer || m_characterTime == std::chrono::nanoseconds::zero())
        return;
    const auto needed = m_characterTime * static_cast<std::int64_t>(request.size() + *answer) +
                        2 * (m_silence - kDeliveryAllowance);
    const auto gap = at - *last;
    if (gap >= needed) {
        m_counters.shortfall.reset();
        return;
    }
    using std::chrono::milliseconds;
    m_counters.shortfall = Counters::Shortfall{std::chrono::round<milliseconds>(gap),
                                               std::chrono::round<milliseconds>(needed), m_baud};
}

// The pending request gets no more bytes: what came is judged as it is, nothing is no answer.
void ExchangeMonitor::closePending(TimePoint now)
{
    if (!m_pending)
        return;
    if (!m_buffer.empty()) {
        takeAnswer(judgePending());
        return;
    }
    m_pending.reset();
    Frame frame;
    frame.direction = Direction::Received;
    frame.at = now;
    frame.verdict = Verdict::NoAnswer;
    frame.meaning = QCoreApplication::translate("ExchangeMonitor", "无应答").toStdString();
    ++m_counters.unanswered;
    m_frames.push_back(std::move(frame));
}

void ExchangeMonitor::flushUnsolicited()
{
    while (!m_buffer.empty())
        flushUnsolicitedRow();
}

void ExchangeMonitor::flushUnsolicitedRow()
{
    const auto end = m_buffer.begin() + static_cast<long>(std::min(kLongestFrame, m_buffer.size()));
    Frame frame;
    frame.at = m_bufferLast;
    frame.direction = Direction::Received;
    frame.verdict = Verdict::Unsolicited;
    frame.meaning =
        QCoreApplication::translate("ExchangeMonitor", "无请求时收到的数据").toStdString();
    frame.bytes.assign(m_buffer.begin(), end);
    m_buffer.erase(m_buffer.begin(), end);
    m_frames.push_back(std::move(frame));
}

void ExchangeMonitor::lineEvent(std::string text, TimePoint at)
{
    m_frames.push_back(
        Frame{at, Direction::Line, Verdict::LineEvent, {}, Meaning(std::move(text)), {}});
}

std::vector<Frame> ExchangeMonitor::takeFrames()
{
    return std::exchange(m_frames, {});
}

std::vector<Sample> ExchangeMonitor::takeSamples()
{
    return std::exchange(m_samples, {});
}

} // namespace monitor
