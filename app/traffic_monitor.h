#pragma once
#include "monitor/csv_files.h"
#include "monitor/exchange_monitor.h"
#include "monitor/history.h"
#include "serial/line_settings.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>

namespace ops {
class CommAdapter;
}
namespace serial {
class Transport;
}

namespace app {

// Watches the transport for the traffic monitor and keeps its history, whether its window
// is open or not. Frames are judged as their bytes come; an exchange that ends with its answer
// goes into the record, the trend and the value file at once. What only time can end (a
// time-out, bytes with no request falling silent) is judged on a 50 ms batch timer, which runs
// only while something waits for it.
class TrafficMonitor : public QObject
{
    Q_OBJECT

public:
    // The clock decides time-outs and silences; the bytes bring their own moments.
    explicit TrafficMonitor(QObject *parent = nullptr,
                            monitor::Clock clock = std::chrono::steady_clock::now);

    // Follows the port's line from its next open on, and records its opening and closing.
    void follow(ops::CommAdapter &port);
    // Watches this transport from now on, instead of the one before; nothing watches none.
    void watch(serial::Transport *transport);
    // An event of the line in words (opened, closed, lent, given back), as a row of the record
    // and a comment line of the value file. A lost line and a change of speed are seen here.
    void lineEvent(const QString &text);

    [[nodiscard]] const monitor::Record &record() const { return m_record; }
    [[nodiscard]] const monitor::Trend &trend() const { return m_trend; }
    [[nodiscard]] const monitor::Counters &counters() const { return m_exchanges.counters(); }
    [[nodiscard]] const monitor::WallClock &wallClock() const { return m_wallClock; }

    void resetCounters();
    void clearRecord();
    void setTimeout(std::chrono::milliseconds timeout) { m_exchanges.setTimeout(timeout); }
    [[nodiscard]] std::chrono::milliseconds timeout() const { return m_exchanges.timeout(); }

    // An empty text when the file is open and its header written, otherwise the reason.
    [[nodiscard]] QString startValueLog(const QString &path);
    void stopValueLog() { m_valueLog.stop(); }
    [[nodiscard]] bool valueLogRunning() const { return m_valueLog.running(); }
    [[nodiscard]] QString valueLogPath() const { return m_valueLog.path(); }

    // Judges and files what has come so far: at the end of an exchange and on the batch timer.
    void flush();

signals:
    // After a batch: whether the record and the trend got something new.
    void batchDone(bool recordChanged, bool trendChanged);
    // The value file stopped because a line could not be written.
    void valueLogFailed(const QString &reason);

private:
    void takeLine();
    // Tells the exchange layer the line's speed and character.
    void tellLine();
    void writeValueLog(const std::vector<monitor::Frame> &frames,
                       const std::vector<monitor::Sample> &samples);
    void wake();

    monitor::Clock m_clock;
    QPointer<serial::Transport> m_transport;
    // What the exchange layer was last told; it starts on the tool's 9600,N,8,1.
    std::optional<serial::LineSettings> m_line = serial::LineSettings{};
    monitor::ExchangeMonitor m_exchanges;
    monitor::Record m_record;
    monitor::Trend m_trend;
    monitor::ValueLog m_valueLog;
    monitor::WallClock m_wallClock;
    QTimer m_batch;
};

} // namespace app
