#include "port_run.h"

#include "modbus/answer_decoder.h"
#include "modbus/exchange_judge.h"
#include "modbus/frame_timing.h"

#include <algorithm>
#include <span>

namespace ctl {
namespace {

using commissioning::Outcome;
using commissioning::RowResult;
using commissioning::RowState;

std::span<const std::uint8_t> bytesOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// How long the line stays unasked after a try without a usable answer, dropping what comes.
// An answer later than one time-out would otherwise be taken for the next request's, which
// reads the same registers; find's requests each name another station or speed, which the
// judge tells apart, so there the longest answer's time on the slowest line is enough.
std::chrono::nanoseconds quietGap(const Options &options)
{
    if (options.command == Command::Find) {
        const int slowest = std::ranges::min(options.bauds);
        return modbus::characterTime(slowest) * modbus::readAnswerLength(modbus::kValueFieldCount) +
               modbus::frameSilence(slowest);
    }
    if (options.timeoutMs)
        return std::chrono::milliseconds(*options.timeoutMs);
    return commissioning::tryTimeout(options.baud,
                                     modbus::readAnswerLength(modbus::kValueFieldCount));
}

// The rows that follow the device to a new link: load and check leave them alone, as one file
// loaded onto several devices must not give them all one station.
bool linkRow(int field)
{
    return field == commissioning::kStationField || field == commissioning::kBaudField;
}

QString stateKey(RowState state)
{
    switch (state) {
    case RowState::NotChosen:
        return QStringLiteral("unchanged");
    case RowState::Left:
        return QStringLiteral("not_written");
    case RowState::Written:
        return QStringLiteral("written");
    case RowState::Verified:
        return QStringLiteral("verified");
    case RowState::Failed:
        return QStringLiteral("failed");
    case RowState::Mismatch:
        return QStringLiteral("mismatch");
    case RowState::Unverified:
        return QStringLiteral("unverified");
    }
    return {};
}

ExitStatus statusOfRow(const RowResult &row)
{
    switch (row.state) {
    case RowState::Failed:
    case RowState::Unverified:
        return statusOf(row.outcome);
    case RowState::Mismatch:
        return ExitStatus::Differs;
    default:
        return ExitStatus::Ok;
    }
}

} // namespace

PortRun::PortRun(const Options &options, QString port, std::unique_ptr<serial::Transport> line,
                 Output &output, const commissioning::ParameterSet *file, QObject *parent)
    : QObject(parent), m_options(options), m_port(std::move(port)), m_line(std::move(line)),
      m_output(output), m_file(file), m_client(m_line.get(), m_timer), m_jobs(m_client)
{
    m_client.setTries(options.retries + 1);
    if (options.timeoutMs)
        m_client.setTryTimeout(std::chrono::milliseconds(*options.timeoutMs));
    m_client.setQuietAfterFailure(quietGap(options));
    m_jobs.setLink({options.baud, options.station});
    connect(&m_jobs, &commissioning::Commissioner::finished, this, [this](const QString &message) {
        if (m_jobEnd)
            std::exchange(m_jobEnd, nullptr)(message);
    });
    connect(m_line.get(), &serial::Transport::lost, this, [this](const QString &cause) {
        Output::diagnose(m_port + QStringLiteral(": ") + cause);
    });
}

Where PortRun::where() const
{
    return {m_port, m_options.command, m_jobs.link().station, m_jobs.link().baud};
}

void PortRun::start()
{
    switch (m_options.command) {
    case Command::Read:
        read();
        break;
    case Command::Ident:
        ident();
        break;
    case Command::Monitor:
        m_monitor = std::make_unique<monitor::ExchangeMonitor>(
            [] { return std::chrono::steady_clock::now(); });
        m_wallClock.emplace(std::chrono::steady_clock::now(), QDateTime::currentDateTime());
        if (const auto settings = m_line->line())
            m_monitor->setLine(monitor::Line{settings->baudRate});
        else
            m_monitor->setLine(std::nullopt);
        m_monitor->setTimeout(std::chrono::ceil<std::chrono::milliseconds>(
            m_options.timeoutMs
                ? std::chrono::milliseconds(*m_options.timeoutMs)
                : commissioning::tryTimeout(m_options.baud,
                                            modbus::readAnswerLength(modbus::kValueFieldCount))));
        connect(m_line.get(), &serial::Transport::sent, this,
                [this](const QByteArray &bytes, serial::TimePoint at) {
                    m_monitor->sent(bytesOf(bytes), at);
                });
        connect(m_line.get(), &serial::Transport::received, this,
                [this](const QByteArray &bytes, serial::TimePoint at) {
                    m_monitor->received(bytesOf(bytes), at);
                });
        // Judgements that only time brings (no answer, bytes fallen silent).
        m_monitorTick.setInterval(10);
        connect(&m_monitorTick, &QTimer::timeout, this, [this] {
            m_monitor->poll();
            showFrames();
        });
        m_monitorTick.start();
        [[fallthrough]];
    case Command::Watch:
        m_period.setTimerType(Qt::PreciseTimer);
        m_period.setInterval(m_options.periodMs);
        connect(&m_period, &QTimer::timeout, this, &PortRun::poll);
        m_period.start();
        poll();
        break;
    case Command::Write:
        write(m_options.assignments);
        break;
    case Command::Address: {
        Assignments move;
        move.raw[commissioning::kStationField] = static_cast<std::uint16_t>(m_options.newStation);
        move.chosen[commissioning::kStationField] = true;
        write(move);
        break;
    }
    case Command::Find:
        connect(&m_jobs, &commissioning::Commissioner::deviceFound, this,
                [this](const commissioning::FoundDevice &device) {
                    ++m_foundCount;
                    emitRecord(foundRecord(m_port, device));
                });
        if (m_options.stations) {
            find(0);
        } else {
            runJob([this] { m_jobs.findBySpeed(m_options.bauds); },
                   [this](const QString &) { find(m_options.bauds.size()); });
        }
        break;
    case Command::Save:
        save();
        break;
    case Command::Load:
    case Command::Check:
        loadOrCheck();
        break;
    }
}

void PortRun::stop()
{
    m_stopping = true;
    if ((m_options.command == Command::Watch || m_options.command == Command::Monitor) &&
        !m_client.busy())
        endPolling();
}

void PortRun::emitRecord(const Record &record)
{
    if (!record.json.isEmpty())
        m_result = record.json;
    m_output.write(record);
}

void PortRun::finish(ExitStatus status)
{
    if (m_done)
        return;
    m_done = true;
    m_status = status;
    emit finished();
}

void PortRun::fail(const commissioning::Reply &reply)
{
    const QString reason = commissioning::outcomeText(reply);
    emitRecord(failureRecord(where(), {reply.outcome, reply.exceptionCode, reason},
                             m_client.discardedBytes()));
    Output::diagnose(
        QStringLiteral("%1: %2: %3").arg(m_port, commandName(m_options.command), reason));
    finish(statusOf(reply.outcome));
}

void PortRun::failJob(const QString &message)
{
    const commissioning::Reply &reply = m_client.lastReply();
    emitRecord(failureRecord(where(), {reply.outcome, reply.exceptionCode, message},
                             m_client.discardedBytes()));
    Output::diagnose(
        QStringLiteral("%1: %2: %3").arg(m_port, commandName(m_options.command), message));
    finish(statusOf(reply.outcome));
}

void PortRun::runJob(const std::function<void()> &job, JobEnd then)
{
    // Set first: a job with nothing to do ends inside the call.
    m_jobEnd = std::move(then);
    job();
}

void PortRun::read()
{
    const auto station = static_cast<std::uint8_t>(m_options.station);
    m_client.send(modbus::readRequest(station, 0, modbus::kValueFieldCount), station,
                  [this](const commissioning::Reply &reply) {
                      if (!reply.ok()) {
                          fail(reply);
                          return;
                      }
                      emitRecord(readRecord(where(), commissioning::queryRegisters(reply.answer),
                                            m_client.discardedBytes()));
                      finish(ExitStatus::Ok);
                  });
}

void PortRun::ident()
{
    const auto station = static_cast<std::uint8_t>(m_options.station);
    m_client.send(modbus::deviceInfoRequest(station), station,
                  [this](const commissioning::Reply &reply) {
                      if (!reply.ok()) {
                          fail(reply);
                          return;
                      }
                      const auto text = modbus::deviceInfoText(bytesOf(reply.answer));
                      emitRecord(identRecord(where(), QString::fromStdString(*text).trimmed(),
                                             m_client.discardedBytes()));
                      finish(ExitStatus::Ok);
                  });
}

void PortRun::poll()
{
    if (m_stopping || (m_options.count && m_polls >= *m_options.count))
        return;
    // The line is never asked twice at once. A tick that meets the last poll still waiting
    // sends as soon as it ends, so an answer a little slower than the period costs a delay,
    // not a poll; further ticks meanwhile are dropped.
    if (m_client.busy()) {
        if (m_tickWaiting)
            ++m_missed;
        else
            ++m_late;
        m_tickWaiting = true;
        return;
    }
    m_tickWaiting = false;
    ++m_polls;
    const auto station = static_cast<std::uint8_t>(m_options.station);
    m_client.send(modbus::readRequest(station, 0, modbus::kValueFieldCount), station,
                  [this](const commissioning::Reply &reply) { watchAnswered(reply); });
}

void PortRun::watchAnswered(const commissioning::Reply &reply)
{
    if (reply.ok())
        ++m_answered;
    else
        m_status = worse(m_status, statusOf(reply.outcome));
    if (m_monitor) {
        showFrames();
    } else {
        std::optional<Registers> raw;
        std::optional<Failure> failure;
        if (reply.ok())
            raw = commissioning::queryRegisters(reply.answer);
        else
            failure =
                Failure{reply.outcome, reply.exceptionCode, commissioning::outcomeText(reply)};
        emitRecord(pollRecord(where(), QDateTime::currentDateTime(), raw, failure,
                              m_client.discardedBytes()));
    }
    // A line gone stays gone: polling on would only repeat it.
    const bool lost = reply.outcome == Outcome::PortClosed;
    if (lost || m_stopping || (m_options.count && m_polls >= *m_options.count))
        endPolling();
    else if (m_tickWaiting)
        poll();
}

void PortRun::endPolling()
{
    if (m_done)
        return;
    m_period.stop();
    if (m_monitor) {
        m_monitor->poll();
        showFrames();
        // The last request's time-out is judged by the monitor's own clock, a moment later.
        if (m_monitor->waiting() && m_line->isOpen()) {
            QTimer::singleShot(10, this, &PortRun::endPolling);
            return;
        }
        m_monitorTick.stop();
    }
    Output::diagnose(tr("%1：轮询 %2 次，%3 次有应答，%4 次没有可用应答，%5 次迟发，%6 次未发，"
                        "丢弃 %7 字节")
                         .arg(m_port)
                         .arg(m_polls)
                         .arg(m_answered)
                         .arg(m_polls - m_answered)
                         .arg(m_late)
                         .arg(m_missed)
                         .arg(m_client.discardedBytes()));
    finish(m_status);
}

void PortRun::showFrames()
{
    for (const monitor::Frame &frame : m_monitor->takeFrames())
        emitRecord(frameRecord(m_port, frame, m_wallClock->at(frame.at)));
    // Query samples are the trend's; nothing here keeps them.
    (void)m_monitor->takeSamples();
}

void PortRun::write(const Assignments &assignments)
{
    runJob([this, assignments] { m_jobs.writeParameters(assignments.raw, assignments.chosen); },
           [this, assignments](const QString &message) {
               std::vector<RowReport> rows;
               ExitStatus status = ExitStatus::Ok;
               for (const modbus::RegisterRow &row : modbus::registerMap()) {
                   const auto field = static_cast<std::size_t>(row.field);
                   if (!assignments.chosen[field])
                       continue;
                   const RowResult &result = m_jobs.rows()[field];
                   const bool readBack =
                       result.state == RowState::Verified || result.state == RowState::Mismatch;
                   rows.push_back(
                       {row.field, assignments.raw[field],
                        readBack ? std::optional(m_jobs.device().raw[field]) : std::nullopt,
                        stateKey(result.state), commissioning::rowStateText(result)});
                   status = worse(status, statusOfRow(result));
               }
               emitRecord(rowsRecord(where(), rows, status, message, m_client.discardedBytes()));
               if (!message.isEmpty())
                   Output::diagnose(m_port + QStringLiteral(": ") + message);
               finish(status);
           });
}

void PortRun::find(std::size_t speed)
{
    if (speed >= m_options.bauds.size()) {
        if (m_foundCount == 0)
            Output::diagnose(tr("%1：没有设备应答").arg(m_port));
        finish(m_foundCount > 0 ? ExitStatus::Ok : ExitStatus::NoAnswer);
        return;
    }
    m_jobs.setLink({m_options.bauds[speed], m_options.station});
    runJob([this] { m_jobs.scanStations(m_options.stations->first, m_options.stations->second); },
           [this, speed](const QString &) { find(speed + 1); });
}

void PortRun::save()
{
    runJob([this] { m_jobs.readParameters(); },
           [this](const QString &message) {
               if (!message.isEmpty()) {
                   failJob(message);
                   return;
               }
               commissioning::ParameterSet set = m_jobs.device();
               set.date =
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
               set.toolVersion = QStringLiteral(RX904_VERSION);
               const QString error = commissioning::saveParameterFile(m_options.file, set);
               if (!error.isEmpty()) {
                   Output::diagnose(QStringLiteral("%1: %2").arg(m_options.file, error));
                   finish(ExitStatus::BadFile);
                   return;
               }
               emitRecord(savedRecord(where(), m_options.file, set, m_client.discardedBytes()));
               finish(ExitStatus::Ok);
           });
}

std::vector<RowReport> PortRun::fileRows(const commissioning::ParameterSet &device,
                                         const QString &differs) const
{
    std::vector<RowReport> rows;
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        if (row.setButton < 0)
            continue;
        const auto field = static_cast<std::size_t>(row.field);
        RowReport report{row.field, m_file->raw[field], device.raw[field], {}, {}};
        if (linkRow(row.field)) {
            report.state = QStringLiteral("skipped");
            report.text = tr("不随参数文件写入或比较");
        } else if (m_file->raw[field] == device.raw[field]) {
            report.state = QStringLiteral("unchanged");
            report.text = tr("与文件相同");
        } else {
            report.state = differs;
            report.text = differs == QLatin1String("differs") ? tr("与文件不同") : tr("将写入");
        }
        rows.push_back(report);
    }
    return rows;
}

void PortRun::loadOrCheck()
{
    runJob(
        [this] { m_jobs.readParameters(); },
        [this](const QString &message) {
            if (!message.isEmpty() && m_options.command == Command::Check) {
                failJob(message);
                return;
            }
            if (!message.isEmpty()) {
                // Nothing was written: every row of the file is left.
                std::vector<RowReport> rows;
                for (const modbus::RegisterRow &row : modbus::registerMap()) {
                    if (row.setButton >= 0 && !linkRow(row.field))
                        rows.push_back({row.field, m_file->raw[static_cast<std::size_t>(row.field)],
                                        std::nullopt, stateKey(RowState::Left),
                                        commissioning::rowStateText({RowState::Left, {}})});
                }
                const ExitStatus status = statusOf(m_client.lastReply().outcome);
                emitRecord(rowsRecord(where(), rows, status, message, m_client.discardedBytes()));
                Output::diagnose(m_port + QStringLiteral(": ") + message);
                finish(status);
                return;
            }
            const commissioning::ParameterSet device = m_jobs.device();
            if (m_options.command == Command::Check) {
                const std::vector<RowReport> rows = fileRows(device, QStringLiteral("differs"));
                const bool same = std::ranges::none_of(
                    rows, [](const RowReport &row) { return row.state == "differs"; });
                const ExitStatus status = same ? ExitStatus::Ok : ExitStatus::Differs;
                emitRecord(rowsRecord(where(), rows, status, {}, m_client.discardedBytes()));
                finish(status);
                return;
            }
            if (m_options.dryRun) {
                emitRecord(rowsRecord(where(), fileRows(device, QStringLiteral("would_write")),
                                      ExitStatus::Ok, {}, m_client.discardedBytes()));
                finish(ExitStatus::Ok);
                return;
            }
            writeFile(device);
        });
}

void PortRun::writeFile(const commissioning::ParameterSet &device)
{
    std::array<bool, modbus::kValueFieldCount> chosen{};
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const auto field = static_cast<std::size_t>(row.field);
        chosen[field] =
            row.setButton >= 0 && !linkRow(row.field) && m_file->raw[field] != device.raw[field];
    }
    runJob([this, chosen] { m_jobs.writeParameters(m_file->raw, chosen); },
           [this, device](const QString &message) {
               std::vector<RowReport> rows = fileRows(device, QStringLiteral("would_write"));
               ExitStatus status = ExitStatus::Ok;
               for (RowReport &report : rows) {
                   const RowResult &result = m_jobs.rows()[static_cast<std::size_t>(report.field)];
                   if (result.state == RowState::NotChosen)
                       continue;
                   if (result.state == RowState::Verified || result.state == RowState::Mismatch)
                       report.device = m_jobs.device().raw[static_cast<std::size_t>(report.field)];
                   report.state = stateKey(result.state);
                   report.text = commissioning::rowStateText(result);
                   status = worse(status, statusOfRow(result));
               }
               emitRecord(rowsRecord(where(), rows, status, message, m_client.discardedBytes()));
               if (!message.isEmpty())
                   Output::diagnose(m_port + QStringLiteral(": ") + message);
               finish(status);
           });
}

} // namespace ctl
