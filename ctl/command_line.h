#pragma once
#include "assignments.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace ctl {

enum class Format { Text, Json, Csv };

enum class Command { Read, Watch, Write, Ident, Address, Find, Save, Load, Check, Monitor };

// What one run of rx904ctl is asked to do, every value checked.
struct Options
{
    QStringList ports; // as given: "COM1", "/dev/ttyUSB0", "tcp://HOST:PORT"
    QString portsFile;
    int baud = 9600;
    int station = 1;
    std::optional<int> timeoutMs; // each try's; by the line speed when not given
    int retries = 1;
    Format format = Format::Text;
    Command command = Command::Read;
    bool listParameters = false;

    int periodMs = 1000;            // watch, monitor
    std::optional<long long> count; // watch, monitor: polls, endless when not given
    Assignments assignments;        // write
    int newStation = 0;             // address
    std::vector<int> bauds;         // find
    std::optional<std::pair<int, int>> stations;
    QString file; // save, load, check
    bool dryRun = false;
    QString reportFile;
};

struct ParseResult
{
    std::optional<Options> options;
    int exitStatus = 0; // when there are no options: 0 after --help or --version, else 2
    QString text;       // for stdout after --help or --version, otherwise one line for stderr
};

// `arguments` as the program was called, its own name first.
[[nodiscard]] ParseResult parseCommandLine(const QStringList &arguments);

[[nodiscard]] QString commandName(Command command);

} // namespace ctl
