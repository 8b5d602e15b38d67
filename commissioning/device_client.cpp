#include "device_client.h"

#include "modbus/exchange_judge.h"
#include "modbus/frame_timing.h"
#include "modbus/hex_text.h"

#include <QCoreApplication>
#include <algorithm>
#include <span>

namespace commissioning {
namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
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
        return QCoreApplication::translate("DeviceClient", "正常");
    case Outcome::TimedOut:
        return QCoreApplication::translate("DeviceClient", "无应答（超时）");
    case Outcome::Incomplete:
        return QCoreApplication::translate("DeviceClient", "应答不完整");
    case Outcome::BadCrc:
        return QCoreApplication::translate("DeviceClient", "应答校验码错误");
    case Outcome::WrongStation:
        return QCoreApplication::translate("DeviceClient", "应答来自其他设备地址");
    case Outcome::WrongFunction:
        return QCoreApplication::translate("DeviceClient", "应答功能码不符");
    case Outcome::WrongLength:
        return QCoreApplication::translate("DeviceClient", "应答长度或内容不符");
    case Outcome::Exception:
        return QCoreApplication::translate("DeviceClient", "设备拒绝（异常码 %1）")
            .arg(QString::fromStdString(
                modbus::FormatHex(static_cast<std::uint8_t>(reply.exceptionCode))));
    case Outcome::PortClosed:
        return QCoreApplication::translate("DeviceClient", "串口未打开");
    }
    return {};
}

std::chrono::nanoseconds tryTimeout(int baud, int answerLength)
{
    return modbus::characterTime(baud) * (modbus::kRequestLength + answerLength) +
           modbus::frameSilence(baud) * 2 + kTurnaroundAllowance;
}

DeviceClient::DeviceClient(serial::Transport *line, DeadlineTimer &timer, QObject *parent)
    : QObject(parent), m_timer(timer)
{
    setLine(line);
    connect(&m_timer, &DeadlineTimer::expired, this, &DeviceClient::expired);
}

void DeviceClient::setLine(serial::Transport *line)
{
    if (m_line)
        disconnect(m_line, nullptr, this, nullptr);
    m_line = line;
    if (!line)
        return;
    connect(line, &serial::Transport::received, this,
            [this](const QByteArray &bytes) { received(bytes); });
    connect(line, &serial::Transport::lost, this, &DeviceClient::lost);
}

void DeviceClient::setBaud(int baud)
{
    m_baud = baud;
    if (m_line) {
        serial::LineSettings settings;
        settings.baudRate = baud;
        m_line->setLine(settings);
    }
}

void DeviceClient::setTries(int tries)
{
    m_maxTries = std::max(tries, 1);
}

void DeviceClient::setTryTimeout(std::optional<std::chrono::nanoseconds> timeout)
{
    m_tryTimeout = timeout;
}

void DeviceClient::setQuietAfterFailure(std::chrono::nanoseconds quiet)
{
    m_quiet = quiet;
}

bool DeviceClient::lineOpen() const
{
    return m_line && m_line->isOpen();
}

bool DeviceClient::send(const modbus::RequestFrame &request, std::optional<std::uint8_t> station,
                        Done done)
{
    if (busy())
        return false;
    m_request = request;
    m_station = station;
    m_done = std::move(done);
    m_tries = 0;
    if (!lineOpen()) {
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
    m_quieting = false;
    m_done = nullptr;
}

void DeviceClient::sendTry()
{
    ++m_tries;
    m_discarded += m_received.size();
    m_received.clear();
    const Clock::time_point now = m_timer.now();
    if (m_quietUntil && now < *m_quietUntil) {
        m_quieting = true;
        m_timer.start(*m_quietUntil - now);
        return;
    }
    transmit();
}

void DeviceClient::transmit()
{
    m_quieting = false;
    m_quietUntil.reset();
    // Whatever a late answer to an earlier try left behind is not this answer.
    m_line->discardInput();
    m_sentAt = m_timer.now();
    m_line->write(requestBytes());
    const int answerLength =
        modbus::expectedAnswerLength(m_request).value_or(modbus::kExceptionAnswerLength);
    m_timer.start(m_tryTimeout.value_or(tryTimeout(m_baud, answerLength)));
}

QByteArray DeviceClient::requestBytes() const
{
    return {reinterpret_cast<const char *>(m_request.data()), modbus::kRequestLength};
}

void DeviceClient::received(const QByteArray &bytes)
{
    if (!busy() || m_quieting) {
        m_discarded += bytes.size();
        return;
    }
    m_received += bytes;
    if (const auto outcome = judge()) {
        m_timer.stop();
        finish(*outcome);
    }
}

void DeviceClient::lost(const QString &cause)
{
    if (busy()) {
        m_timer.stop();
        finish(Outcome::PortClosed);
    }
    emit lineLost(cause);
}

void DeviceClient::expired()
{
    if (m_quieting) {
        if (lineOpen())
            transmit();
        else
            finish(Outcome::PortClosed);
        return;
    }
    if (busy())
        finish(m_received.isEmpty() ? Outcome::TimedOut : Outcome::Incomplete);
}

// Nothing while the answer may still grow.
std::optional<Outcome> DeviceClient::judge() const
{
    // The answer comes from the station the request is sent to, or from any without one.
    const modbus::Judgement judgement =
        modbus::judgeAnswer(m_request, bytesOf(m_received), !m_station.has_value());
    switch (judgement.verdict) {
    case modbus::Verdict::Incomplete:
        return std::nullopt;
    // Bytes after a good answer belong to nothing; whether they share its read is chance.
    case modbus::Verdict::Complete:
    case modbus::Verdict::ExtraBytes:
        return Outcome::Answered;
    case modbus::Verdict::Exception:
        return Outcome::Exception;
    case modbus::Verdict::BadCrc:
        return Outcome::BadCrc;
    case modbus::Verdict::WrongStation:
        return Outcome::WrongStation;
    case modbus::Verdict::WrongFunction:
        return Outcome::WrongFunction;
    case modbus::Verdict::WrongContent:
        return Outcome::WrongLength;
    }
    return std::nullopt;
}

void DeviceClient::finish(Outcome outcome)
{
    m_quieting = false;
    const bool failed = outcome != Outcome::Answered && outcome != Outcome::Exception;
    if (failed && m_quiet > std::chrono::nanoseconds::zero())
        m_quietUntil = m_timer.now() + m_quiet;
    const bool retry =
        failed && outcome != Outcome::PortClosed && m_tries < m_maxTries && lineOpen();
    if (retry) {
        sendTry();
        return;
    }
    Reply reply;
    reply.outcome = outcome;
    reply.answer = m_received;
    reply.tries = m_tries;
    if (outcome == Outcome::Exception)
        reply.exceptionCode = static_cast<std::uint8_t>(m_received[2]);
    if (outcome == Outcome::Answered)
        reply.responseTime = m_timer.now() - m_sentAt;
    m_lastReply = reply;
    // Given in the reply; only bytes of a try that is given up are dropped.
    m_received.clear();
    Done done = std::exchange(m_done, nullptr);
    done(reply);
}

} // namespace commissioning
