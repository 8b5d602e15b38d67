#include "comm_adapter.h"

#include "modbus/exchange_judge.h"
#include "serial/port_names.h"

#include <QPointer>
#include <algorithm>
#include <span>

namespace ops {

CommAdapter::CommAdapter(serial::PortDirectory &ports, serial::TransportFactory factory,
                         QObject *parent)
    : CommControl(parent), m_ports(ports), m_factory(std::move(factory))
{
    m_inBuffer.reserve(kInBufferSize);
}

CommAdapter::~CommAdapter()
{
    if (m_transport)
        disconnect(m_transport.get(), nullptr, this, nullptr);
}

void CommAdapter::setCommPort(int port)
{
    if (port < serial::kFirstPort || port > serial::kLastPort)
        return;
    m_commPort = port;
}

void CommAdapter::setSettings(const QString &settings)
{
    const std::optional<serial::LineSettings> parsed = serial::parseLineSettings(settings);
    if (!parsed)
        return;
    m_settings = *parsed;
    if (m_transport && !m_lent)
        m_transport->setLine(m_settings);
}

bool CommAdapter::portOpen() const
{
    return m_transport && m_transport->isOpen();
}

bool CommAdapter::setPortOpen(bool open)
{
    if (!open) {
        discardReceived();
        if (portOpen() && !m_lent) {
            m_transport->close();
            emit lineEvent(tr("关闭串口 COM%1").arg(m_commPort));
        }
        return true;
    }
    // Opening an open port fails and leaves it open, as the classic control raises "port
    // already open" there: a caller that wants a fresh start closes first.
    if (portOpen() || m_lent)
        return false;
    const std::optional<serial::DeviceInfo> device = m_ports.resolve(m_commPort);
    if (!device) {
        m_lastOpen = {serial::OpenFailure::NoDevice, QString(), QString()};
        return false;
    }
    if (m_transport)
        disconnect(m_transport.get(), nullptr, this, nullptr);
    m_transport = m_factory(device->systemLocation);
    m_transport->setLine(m_settings);
    connect(m_transport.get(), &serial::Transport::received, this,
            [this](const QByteArray &bytes) { received(bytes); });
    connect(m_transport.get(), &serial::Transport::lost, this, &CommAdapter::lineLost);
    emit transportChanged(m_transport.get());
    m_lastOpen = m_transport->open();
    discardReceived();
    if (m_lastOpen.failure != serial::OpenFailure::None)
        return false;
    m_lostCause.clear();
    const std::optional<serial::LineSettings> line = m_transport->line();
    emit lineEvent(line ? tr("打开串口 COM%1（%2），%3")
                              .arg(m_commPort)
                              .arg(m_transport->location(), serial::lineSettingsText(*line))
                        : tr("打开串口 COM%1（%2）").arg(m_commPort).arg(m_transport->location()));
    return true;
}

QString CommAdapter::openFailureCause() const
{
    if (m_lastOpen.failure == serial::OpenFailure::None)
        return QString();
    return m_ports.explainOpenFailure(m_commPort, m_lastOpen);
}

void CommAdapter::setInputLen(int length)
{
    if (length >= 0)
        m_inputLen = length;
}

void CommAdapter::setInBufferCount(int count)
{
    if (count != 0)
        return;
    discardReceived();
    if (portOpen() && !m_lent)
        m_transport->discardInput();
}

int CommAdapter::inBufferCount() const
{
    return static_cast<int>(m_inBuffer.size());
}

void CommAdapter::setRThreshold(int threshold)
{
    if (threshold >= 0)
        m_rThreshold = threshold;
}

void CommAdapter::setOutput(const QByteArray &bytes)
{
    if (!portOpen() || m_lent)
        return;
    m_lastRequest = bytes;
    m_transport->write(bytes);
}

QByteArray CommAdapter::input()
{
    QByteArray taken;
    if (m_inputLen > 0 && m_inputLen < m_inBuffer.size()) {
        taken = m_inBuffer.left(m_inputLen);
        m_inBuffer.remove(0, m_inputLen);
    } else {
        taken.swap(m_inBuffer);
        m_inBuffer.reserve(kInBufferSize);
    }
    if (m_inBuffer.size() < kInBufferSize)
        m_overrun = false;
    return taken;
}

serial::Transport *CommAdapter::lend()
{
    if (!portOpen() || m_lent)
        return nullptr;
    m_lent = true;
    return m_transport.get();
}

void CommAdapter::giveBack()
{
    if (!m_lent)
        return;
    m_lent = false;
    if (!portOpen())
        return;
    // The holder may have changed the speed, and the system may still hold its last bytes.
    m_transport->setLine(m_settings);
    m_transport->discardInput();
}

// The transport raises this from the event loop, so the receive event may run a handler.
void CommAdapter::received(const QByteArray &bytes)
{
    if (m_lent)
        return;
    const qsizetype kept = std::min(bytes.size(), kInBufferSize - m_inBuffer.size());
    m_inBuffer.append(bytes.constData(), kept);
    const bool overrunStarted = kept < bytes.size() && !m_overrun;
    if (overrunStarted)
        m_overrun = true;
    QPointer<CommAdapter> alive(this);
    // A refusal is five bytes, shorter than the answer the threshold waits for: it is
    // reported as soon as it is whole, or the window would wait for bytes that never come.
    const bool arrived =
        m_rThreshold > 0 && (m_inBuffer.size() >= m_rThreshold || refusalWaiting());
    if (kept > 0 && arrived) {
        raise(serial::kComEvReceive);
        if (!alive)
            return;
    }
    if (overrunStarted)
        raise(serial::kComEventRxOver);
}

bool CommAdapter::refusalWaiting() const
{
    const auto bytes = [](const QByteArray &array) {
        return std::span(reinterpret_cast<const std::uint8_t *>(array.constData()),
                         static_cast<std::size_t>(array.size()));
    };
    return m_inBuffer.size() >= modbus::kExceptionAnswerLength &&
           modbus::judgeAnswer(bytes(m_lastRequest), bytes(m_inBuffer)).verdict ==
               modbus::Verdict::Exception;
}

void CommAdapter::lineLost(const QString &cause)
{
    if (m_lent)
        return;
    m_lostCause = cause;
    discardReceived();
    raise(serial::kComEventPortLost);
}

void CommAdapter::discardReceived()
{
    m_inBuffer.clear();
    m_inBuffer.reserve(kInBufferSize);
    m_overrun = false;
}

void CommAdapter::raise(int event)
{
    m_commEvent = event;
    emit OnComm();
}

} // namespace ops
