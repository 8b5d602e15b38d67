#include "device_client.h"

#include "modbus/crc16.h"
#include "modbus/frame_timing.h"
#include "serial/comm_events.h"

#include <span>

namespace commissioning {
namespace {

// An exception answer: station, function | 0x80, code, CRC.
constexpr int kExceptionLength = 5;
constexpr int kMaxTries = 2;

std::span<const std::uint8_t> bytesOf(const QByteArray &bytes, qsizetype length)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()),
            static_cast<std::size_t>(length)};
}

bool crcMatches(std::span<const std::uint8_t> frame)
{
    const std::uint16_t crc = modbus::Crc16(frame.first(frame.size() - 2));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

} // namespace

QtDeadlineTimer::QtDeadlineTimer(QObject *parent) : DeadlineTimer(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DeadlineTimer::expired);
}

void QtDeadlineTimer::start(std::chrono::nanoseconds after)
{
    m_timer.start(std::chrono::ceil<std::chrono::milliseconds>(after));
}

QString outcomeText(const Reply &reply)
{
    switch (reply.outcome) {
    case Outcome::Answered:
        return QStringLiteral("正常");
    case Outcome::TimedOut:
        return QStringLiteral("无应答（超时）");
    case Outcome::Incomplete:
        return QStringLiteral("应答不完整");
    case Outcome::BadCrc:
        return QStringLiteral("应答校验码错误");
    case Outcome::WrongStation:
        return QStringLiteral("应答来自其他设备地址");
    case Outcome::WrongFunction:
        return QStringLiteral("应答功能码不符");
    case Outcome::WrongLength:
        return QStringLiteral("应答长度或内容不符");
    case Outcome::Exception:
        return QStringLiteral("设备拒绝（异常码 %1）")
            .arg(reply.exceptionCode, 2, 10, QLatin1Char('0'));
    case Outcome::PortClosed:
        return QStringLiteral("串口未打开");
    }
    return {};
}

std::chrono::nanoseconds tryTimeout(int baud, int answerLength)
{
    return modbus::characterTime(baud) * (modbus::kRequestLength + answerLength) +
           modbus::frameSilence(baud) * 2 + kTurnaroundAllowance;
}

DeviceClient::DeviceClient(serial::SerialControl &port, DeadlineTimer &timer, QObject *parent)
    : QObject(parent), m_port(port), m_timer(timer)
{
    connect(&m_port, &serial::SerialControl::OnComm, this, &DeviceClient::received);
    connect(&m_timer, &DeadlineTimer::expired, this, &DeviceClient::expired);
}

void DeviceClient::setBaud(int baud)
{
    m_baud = baud;
    m_port.setSettings(QString::number(baud) + QStringLiteral(",N,8,1"));
}

bool DeviceClient::send(const modbus::Request &request, std::optional<std::uint8_t> station,
                        Done done)
{
    if (busy())
        return false;
    m_request = request;
    m_station = station;
    m_done = std::move(done);
    m_tries = 0;
    if (!m_port.portOpen()) {
        // Reported from the event loop like every other end.
        QTimer::singleShot(0, this, [this] {
            if (busy())
                finish(Outcome::PortClosed);
        });
        return true;
    }
    sendTry();
    return true;
}

void DeviceClient::cancel()
{
    m_timer.stop();
    m_done = nullptr;
    m_port.setRThreshold(0);
}

void DeviceClient::sendTry()
{
    ++m_tries;
    m_received.clear();
    // Whatever a late answer to an earlier try left behind is not this answer.
    m_port.setRThreshold(0);
    m_port.setInBufferCount(0);
    m_port.setInputLen(0);
    m_port.setInputMode(serial::kInputModeBinary);
    m_sentAt = m_timer.now();
    m_port.setOutput(requestBytes());
    // Every arrival, so that an exception answer, shorter than the one asked for, is seen.
    m_port.setRThreshold(1);
    m_timer.start(tryTimeout(m_baud, m_request.answerLength));
}

QByteArray DeviceClient::requestBytes() const
{
    return {reinterpret_cast<const char *>(m_request.frame.data()), modbus::kRequestLength};
}

void DeviceClient::received()
{
    if (m_port.commEvent() != serial::kComEvReceive) {
        if (busy() && !m_port.portOpen()) {
            m_timer.stop();
            finish(Outcome::PortClosed);
        }
        return;
    }
    const QByteArray bytes = m_port.input();
    if (!busy())
        return;
    m_received += bytes;
    if (const auto outcome = judge()) {
        m_timer.stop();
        finish(*outcome);
    }
}

void DeviceClient::expired()
{
    if (busy())
        finish(m_received.isEmpty() ? Outcome::TimedOut : Outcome::Incomplete);
}

std::optional<Outcome> DeviceClient::judge() const
{
    const std::uint8_t function = m_request.frame[1];
    const auto byteAt = [this](int index) { return static_cast<std::uint8_t>(m_received[index]); };
    const bool refusal = m_received.size() >= 2 && (byteAt(1) & 0x80) != 0;
    const qsizetype length = refusal ? kExceptionLength : m_request.answerLength;
    if (m_received.size() < length)
        return std::nullopt;
    if (!crcMatches(bytesOf(m_received, length)))
        return Outcome::BadCrc;
    if (m_station && byteAt(0) != *m_station)
        return Outcome::WrongStation;
    if ((byteAt(1) & 0x7F) != function)
        return Outcome::WrongFunction;
    if (refusal)
        return Outcome::Exception;
    // A write is answered by its own echo.
    if (function == modbus::kFunctionWriteSingle)
        return m_received.left(length) == requestBytes() ? Outcome::Answered : Outcome::WrongLength;
    // Reads and the identification carry a byte count: the data between header and CRC.
    return byteAt(2) == length - 5 ? Outcome::Answered : Outcome::WrongLength;
}

void DeviceClient::finish(Outcome outcome)
{
    const bool retry = outcome != Outcome::Answered && outcome != Outcome::Exception &&
                       outcome != Outcome::PortClosed && m_tries < kMaxTries;
    if (retry) {
        sendTry();
        return;
    }
    m_port.setRThreshold(0);
    Reply reply;
    reply.outcome = outcome;
    reply.answer = m_received;
    reply.tries = m_tries;
    if (outcome == Outcome::Exception)
        reply.exceptionCode = static_cast<std::uint8_t>(m_received[2]);
    if (outcome == Outcome::Answered)
        reply.responseTime = m_timer.now() - m_sentAt;
    Done done = std::exchange(m_done, nullptr);
    done(reply);
}

} // namespace commissioning
