#pragma once
#include "command_line.h"
#include "commissioning/commissioner.h"
#include "exit_status.h"
#include "monitor/exchange_monitor.h"
#include "output.h"

#include <QDateTime>

#include <array>
#include <optional>
#include <vector>

namespace ctl {

// The JSON and CSV read the same in either language: keys, codes (outcome, state, verdict,
// direction), the Chinese caption as "name", units and numbers. Only the free text for people
// follows the language of the run: "reason" (why a request failed or a port would not open),
// a row's "text" (its state in words), "message" (why a job stopped) and a frame's "meaning".
// The text format is for people throughout.

// The version of the JSON objects' shape: a field removed or changed raises it.
inline constexpr int kFormatVersion = 1;

using Registers = std::array<std::uint16_t, modbus::kValueFieldCount>;

// Where a result comes from.
struct Where
{
    QString port;
    Command command = Command::Read;
    int station = 1;
    int baud = 9600;
};

// How a request ended, when it did not end well.
struct Failure
{
    commissioning::Outcome outcome = commissioning::Outcome::TimedOut;
    int exceptionCode = 0;
    QString reason;
};

// One row of a write, load or check.
struct RowReport
{
    int field = 0;
    std::optional<std::uint16_t> wanted; // the value written, or the file's
    std::optional<std::uint16_t> device; // the device's, read before or back
    QString state;                       // "verified", "not_written", "differs", …
    QString text;                        // the configuration window's words for it
};

[[nodiscard]] Record readRecord(const Where &where, const Registers &raw, qint64 discarded);
[[nodiscard]] Record failureRecord(const Where &where, const Failure &failure, qint64 discarded);
// A port that would not open, with the cause.
[[nodiscard]] Record openFailureRecord(const Where &where, const QString &cause);
// A poll of watch: its values, or the failure instead.
[[nodiscard]] Record pollRecord(const Where &where, const QDateTime &time,
                                const std::optional<Registers> &raw,
                                const std::optional<Failure> &failure, qint64 discarded);
[[nodiscard]] Record identRecord(const Where &where, const QString &identification,
                                 qint64 discarded);
[[nodiscard]] Record foundRecord(const QString &port, const commissioning::FoundDevice &device);
[[nodiscard]] Record frameRecord(const QString &port, const monitor::Frame &frame,
                                 const QDateTime &time);
[[nodiscard]] Record savedRecord(const Where &where, const QString &file,
                                 const commissioning::ParameterSet &set, qint64 discarded);
[[nodiscard]] Record rowsRecord(const Where &where, const std::vector<RowReport> &rows,
                                ExitStatus status, const QString &message, qint64 discarded);
[[nodiscard]] Record parametersRecord();

[[nodiscard]] QString outcomeKey(commissioning::Outcome outcome);

} // namespace ctl
