#include "traffic_monitor.h"

#include "serial/transport.h"

#include <span>

namespace app {

namespace {

constexpr int kBatchMs = 50;

std::span<const std::uint8_t> bytesOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

} // namespace

TrafficMonitor::TrafficMonitor(QObject *parent, monitor::Clock clock)
    : QObject(parent), m_exchanges(clock), m_wallClock(clock(), QDateTime::currentDateTime())
{
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &TrafficMonitor::flush);
}

void TrafficMonitor::watch(serial::Transport *transport)
{
    if (m_transport)
        disconnect(m_transport, nullptr, this, nullptr);
    m_transport = transport;
    if (!transport)
        return;
    connect(transport, &serial::Transport::sent, this,
            [this](const QByteArray &bytes, serial::TimePoint at) {
                takeLine();
                m_exchanges.sent(bytesOf(bytes), at);
                wake();
            });
    connect(transport, &serial::Transport::received, this,
            [this](const QByteArray &bytes, serial::TimePoint at) {
                m_exchanges.received(bytesOf(bytes), at);
                // An answer that ends its exchange is filed at once: left to the batch timer,
                // it would wake the tool once more per exchange for nothing else.
                if (m_exchanges.waiting())
                    wake();
                else
                    flush();
            });
}

// The settings may change between any two requests, so each request asks; polling sends 20
// a second, so only a change is handed on.
void TrafficMonitor::takeLine()
{
    std::optional<serial::LineSettings> line =
        m_transport ? m_transport->line() : std::optional<serial::LineSettings>();
    if (line == m_line)
        return;
    m_line = std::move(line);
    if (m_line)
        m_exchanges.setLine(monitor::Line{m_line->baudRate, serial::halfBitsPerCharacter(*m_line)});
    else
        m_exchanges.setLine(std::nullopt);
}

void TrafficMonitor::wake()
{
    if (!m_batch.isActive())
        m_batch.start();
}

void TrafficMonitor::flush()
{
    m_exchanges.poll();
    std::vector<monitor::Frame> frames = m_exchanges.takeFrames();
    const std::vector<monitor::Sample> samples = m_exchanges.takeSamples();
    const bool recordChanged = !frames.empty();
    if (recordChanged)
        m_record.append(std::move(frames));
    m_trend.append(samples);
    // The wall-clock time of a sample is worked out only for a file that takes it.
    if (m_valueLog.running()) {
        for (const monitor::Sample &sample : samples) {
            const QString reason = m_valueLog.write(sample, m_wallClock.at(sample.at));
            if (!reason.isEmpty()) {
                emit valueLogFailed(reason);
                break;
            }
        }
    }
    // A pending request still needs its time-out judged; otherwise the timer rests.
    if (!m_exchanges.waiting())
        m_batch.stop();
    emit batchDone(recordChanged, !samples.empty());
}

void TrafficMonitor::resetCounters()
{
    m_exchanges.resetCounters();
    emit batchDone(false, false);
}

void TrafficMonitor::clearRecord()
{
    m_record.clear();
    emit batchDone(true, false);
}

QString TrafficMonitor::startValueLog(const QString &path)
{
    return m_valueLog.start(path);
}

} // namespace app
