#include "traffic_monitor.h"

#include "operations/comm_adapter.h"
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
    : QObject(parent), m_clock(clock), m_exchanges(clock),
      m_wallClock(clock(), QDateTime::currentDateTime())
{
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &TrafficMonitor::flush);
}

void TrafficMonitor::follow(ops::CommAdapter &port)
{
    connect(&port, &ops::CommAdapter::transportChanged, this, &TrafficMonitor::watch);
    connect(&port, &ops::CommAdapter::lineEvent, this, &TrafficMonitor::lineEvent);
}

void TrafficMonitor::watch(serial::Transport *transport)
{
    if (m_transport)
        disconnect(m_transport, nullptr, this, nullptr);
    m_transport = transport;
    if (!transport)
        return;
    // The settings it opens with are told by the event of its opening.
    m_line = transport->line();
    tellLine();
    connect(transport, &serial::Transport::lost, this,
            [this](const QString &cause) { lineEvent(tr("串口断开：%1").arg(cause)); });
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
    const bool changed = m_line && line;
    m_line = std::move(line);
    tellLine();
    if (changed)
        lineEvent(tr("串口设置改为 %1").arg(serial::lineSettingsText(*m_line)));
}

void TrafficMonitor::tellLine()
{
    if (m_line)
        m_exchanges.setLine(monitor::Line{m_line->baudRate, serial::halfBitsPerCharacter(*m_line)});
    else
        m_exchanges.setLine(std::nullopt);
}

void TrafficMonitor::lineEvent(const QString &text)
{
    m_exchanges.lineEvent(text.toStdString(), m_clock());
    wake();
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
    if (m_valueLog.running())
        writeValueLog(frames, samples);
    const bool recordChanged = !frames.empty();
    if (recordChanged)
        m_record.append(std::move(frames));
    m_trend.append(samples);
    // A pending request still needs its time-out judged; otherwise the timer rests.
    if (!m_exchanges.waiting())
        m_batch.stop();
    emit batchDone(recordChanged, !samples.empty());
}

// The samples and the line's events in the order they happened.
void TrafficMonitor::writeValueLog(const std::vector<monitor::Frame> &frames,
                                   const std::vector<monitor::Sample> &samples)
{
    auto frame = frames.begin();
    auto sample = samples.begin();
    QString reason;
    while (reason.isEmpty() && (frame != frames.end() || sample != samples.end())) {
        if (frame != frames.end() && frame->direction != monitor::Direction::Line) {
            ++frame;
        } else if (frame != frames.end() && (sample == samples.end() || frame->at < sample->at)) {
            reason =
                m_valueLog.note(QString::fromStdString(frame->meaning), m_wallClock.at(frame->at));
            ++frame;
        } else {
            reason = m_valueLog.write(*sample, m_wallClock.at(sample->at));
            ++sample;
        }
    }
    if (!reason.isEmpty())
        emit valueLogFailed(reason);
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
    // What happened before the file starts stays out of it.
    flush();
    return m_valueLog.start(path);
}

} // namespace app
