#pragma once
#include "command_line.h"
#include "commissioning/commissioner.h"
#include "exit_status.h"
#include "monitor/csv_files.h"
#include "monitor/exchange_monitor.h"
#include "output.h"
#include "records.h"

#include <QJsonObject>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace ctl {

// One command on one port (one bus): its own transport, device client and jobs, driven by
// the event loop beside the other ports' runs.
class PortRun : public QObject
{
    Q_OBJECT

public:
    // `file`: the parameter file of load and check, already checked.
    PortRun(const Options &options, QString port, std::unique_ptr<serial::Transport> line,
            Output &output, const commissioning::ParameterSet *file, QObject *parent = nullptr);

    void start();
    // watch and monitor end after the poll under way.
    void stop();

    [[nodiscard]] ExitStatus status() const { return m_status; }
    // The last result as JSON, for load's --report.
    [[nodiscard]] const QJsonObject &result() const { return m_result; }

signals:
    void finished();

private:
    using JobEnd = std::function<void(const QString &message)>;

    void read();
    void ident();
    void poll();
    void watchAnswered(const commissioning::Reply &reply);
    void endPolling();
    void showFrames();
    void write(const Assignments &assignments);
    void find(std::size_t speed);
    void save();
    void loadOrCheck();
    void writeFile(const commissioning::ParameterSet &device);
    void runJob(const std::function<void()> &job, JobEnd then);
    void emitRecord(const Record &record);
    void fail(const commissioning::Reply &reply);
    void failJob(const QString &message);
    void finish(ExitStatus status);
    [[nodiscard]] Where where() const;
    [[nodiscard]] std::vector<RowReport> fileRows(const commissioning::ParameterSet &device,
                                                  const QString &unchosenState) const;

    const Options &m_options;
    QString m_port;
    std::unique_ptr<serial::Transport> m_line;
    Output &m_output;
    const commissioning::ParameterSet *m_file;
    commissioning::QtDeadlineTimer m_timer;
    commissioning::DeviceClient m_client;
    commissioning::Commissioner m_jobs;
    JobEnd m_jobEnd;
    ExitStatus m_status = ExitStatus::Ok;
    QJsonObject m_result;
    bool m_done = false;

    // watch and monitor
    QTimer m_period;
    long long m_polls = 0;
    long long m_answered = 0;
    long long m_late = 0;   // polls sent after their tick, once the one before had ended
    long long m_missed = 0; // ticks dropped while one already waited
    bool m_tickWaiting = false;
    bool m_stopping = false;
    std::unique_ptr<monitor::ExchangeMonitor> m_monitor;
    std::optional<monitor::WallClock> m_wallClock;
    QTimer m_monitorTick;

    // find
    int m_foundCount = 0;
};

} // namespace ctl
