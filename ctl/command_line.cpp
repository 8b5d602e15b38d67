#include "command_line.h"

#include "whole_number.h"

#include <QCommandLineParser>

#include <algorithm>

namespace ctl {
namespace {

constexpr auto kUsage = R"(Usage: rx904ctl [OPTION]... COMMAND [ARGUMENT]...
Reads, watches and sets RX904 voltage controllers over Modbus RTU.

Options:
  --port DEVICE          COMn (as RX904_COMn or the numbering of rx904-tool), a device
                         path or tcp://HOST:PORT; repeatable, each port a bus of its own
                         (default COM1)
  --ports-file FILE      ports, one per line (# starts a comment)
  --baud N               2400, 4800, 9600 (default), 19200 or 38400
  --station N            the device's station, 1..247 (default 1)
  --timeout MS           each try's time-out (default: by the line speed)
  --retries N            tries after the first without a usable answer (default 1)
  --format FORMAT        text (default), json (one object per line) or csv
  --list-parameters      the parameters: names, keys, registers, ranges, units
  -h, --help             this text
  -v, --version          the version

Commands:
  read                   the fifteen values with names, units and raw registers
  watch [--period MS] [--count N]
                         one line per poll of the fifteen values (default every 1000 ms)
  write NAME=VALUE...    set parameters by caption, key or register, each read back
  ident                  the identification text
  address NEW            move the device to station NEW (1..247)
  find [--bauds LIST] [--stations FIRST-LAST]
                         every device that answers: the address read at each speed, or
                         each station of the range at each speed
  save FILE              the parameters to a parameter file of rx904-tool
  load FILE [--dry-run] [--report OUT.json]
                         write the parameters that differ from the file, each read back
  check FILE             compare the device with a parameter file, write nothing
  monitor [--period MS] [--count N]
                         poll as watch does, and print every frame judged

Exit status: 0 all well, 1 no answer, 2 bad usage, 3 the device refused, 4 read back
not as written (or differs from the file), 5 a port would not open, 6 a file unreadable
or invalid. See rx904ctl(1).
)";

struct CommandInfo
{
    Command command;
    const char *name;
    int arguments; // -1: one or more
};

constexpr CommandInfo kCommands[] = {
    {Command::Read, "read", 0},       {Command::Watch, "watch", 0},
    {Command::Write, "write", -1},    {Command::Ident, "ident", 0},
    {Command::Address, "address", 1}, {Command::Find, "find", 0},
    {Command::Save, "save", 1},       {Command::Load, "load", 1},
    {Command::Check, "check", 1},     {Command::Monitor, "monitor", 0},
};

bool takesSpeed(int baud)
{
    return std::ranges::find(modbus::kBaudRates, baud) != modbus::kBaudRates.end();
}

} // namespace

QString commandName(Command command)
{
    for (const CommandInfo &info : kCommands) {
        if (info.command == command)
            return QLatin1String(info.name);
    }
    return {};
}

ParseResult parseCommandLine(const QStringList &arguments)
{
    const auto option = [](const char *name, const char *value = nullptr) {
        return QCommandLineOption(QLatin1String(name), QString(),
                                  value ? QLatin1String(value) : QString());
    };
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption port = option("port", "DEVICE");
    const QCommandLineOption portsFile = option("ports-file", "FILE");
    const QCommandLineOption baud = option("baud", "N");
    const QCommandLineOption station = option("station", "N");
    const QCommandLineOption timeout = option("timeout", "MS");
    const QCommandLineOption retries = option("retries", "N");
    const QCommandLineOption format = option("format", "FORMAT");
    const QCommandLineOption listParameters = option("list-parameters");
    const QCommandLineOption period = option("period", "MS");
    const QCommandLineOption count = option("count", "N");
    const QCommandLineOption bauds = option("bauds", "LIST");
    const QCommandLineOption stations = option("stations", "RANGE");
    const QCommandLineOption dryRun = option("dry-run");
    const QCommandLineOption report = option("report", "FILE");

    QCommandLineParser parser;
    parser.addOptions({help, version, port, portsFile, baud, station, timeout, retries, format,
                       listParameters, period, count, bauds, stations, dryRun, report});

    ParseResult result;
    const auto fail = [&result](const QString &reason) {
        result.exitStatus = 2;
        result.text = reason;
        return result;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            return fail(QStringLiteral("unknown option %1%2 (rx904ctl --help lists them)")
                            .arg(QLatin1String(name.size() == 1 ? "-" : "--"), name));
        }
        return fail(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.text = QLatin1String(kUsage);
        return result;
    }
    if (parser.isSet(version)) {
        result.text = QStringLiteral("rx904ctl %1\n").arg(QStringLiteral(RX904_VERSION));
        return result;
    }

    Options options;
    // Each option once, but --port; a number checked against its range.
    for (const QCommandLineOption &once : {portsFile, baud, station, timeout, retries, format,
                                           period, count, bauds, stations, report}) {
        if (parser.values(once).size() > 1)
            return fail(QStringLiteral("--%1 given twice").arg(once.names().first()));
    }
    QString error;
    const auto number = [&](const QCommandLineOption &which, long long low, long long high,
                            long long fallback) -> long long {
        if (!parser.isSet(which))
            return fallback;
        const auto value = wholeNumberIn(QStringLiteral("--") + which.names().first(),
                                         parser.value(which), low, high);
        if (const auto *reason = std::get_if<QString>(&value)) {
            if (error.isEmpty())
                error = *reason;
            return fallback;
        }
        return std::get<long long>(value);
    };
    options.ports = parser.values(port);
    options.portsFile = parser.value(portsFile);
    options.baud = static_cast<int>(number(baud, 1, 38400, 9600));
    options.station = static_cast<int>(number(station, 1, 247, 1));
    if (parser.isSet(timeout))
        options.timeoutMs = static_cast<int>(number(timeout, 1, 60000, 0));
    options.retries = static_cast<int>(number(retries, 0, 9, 1));
    options.periodMs = static_cast<int>(number(period, 10, 86400000, 1000));
    if (parser.isSet(count))
        options.count = number(count, 1, 1000000000000LL, 0);
    if (!error.isEmpty())
        return fail(error);
    if (!takesSpeed(options.baud))
        return fail(QStringLiteral("--baud %1: the device speaks 2400, 4800, 9600, 19200 or 38400")
                        .arg(options.baud));
    if (parser.isSet(format)) {
        const QString name = parser.value(format);
        if (name == QLatin1String("json"))
            options.format = Format::Json;
        else if (name == QLatin1String("csv"))
            options.format = Format::Csv;
        else if (name != QLatin1String("text"))
            return fail(QStringLiteral("--format %1: text, json or csv").arg(name));
    }
    options.listParameters = parser.isSet(listParameters);

    QStringList words = parser.positionalArguments();
    if (options.listParameters) {
        if (!words.isEmpty())
            return fail(QStringLiteral("--list-parameters takes no command"));
        result.options = options;
        return result;
    }
    if (words.isEmpty())
        return fail(QStringLiteral("no command given (rx904ctl --help lists them)"));
    const QString name = words.takeFirst();
    const auto info = std::ranges::find_if(
        kCommands, [&name](const CommandInfo &c) { return name == QLatin1String(c.name); });
    if (info == std::end(kCommands))
        return fail(QStringLiteral("unknown command “%1” (rx904ctl --help lists them)").arg(name));
    options.command = info->command;
    if (info->arguments == 0 && !words.isEmpty())
        return fail(QStringLiteral("%1 takes no argument, “%2” given").arg(name, words.first()));
    if (info->arguments == 1 && words.size() != 1)
        return fail(QStringLiteral("%1 takes one argument").arg(name));

    // The options of one command are refused with the others: a typo must not pass unseen.
    const auto belongs = [&](const QCommandLineOption &which, std::initializer_list<Command> to) {
        if (parser.isSet(which) && std::ranges::find(to, options.command) == to.end()) {
            if (error.isEmpty())
                error =
                    QStringLiteral("--%1 is not an option of %2").arg(which.names().first(), name);
        }
    };
    belongs(period, {Command::Watch, Command::Monitor});
    belongs(count, {Command::Watch, Command::Monitor});
    belongs(bauds, {Command::Find});
    belongs(stations, {Command::Find});
    belongs(dryRun, {Command::Load});
    belongs(report, {Command::Load});
    if (!error.isEmpty())
        return fail(error);

    switch (options.command) {
    case Command::Write: {
        const AssignmentsResult parsed = parseAssignments(words);
        if (!parsed.assignments)
            return fail(parsed.error);
        options.assignments = *parsed.assignments;
        break;
    }
    case Command::Address: {
        const auto value = wholeNumberIn(QStringLiteral("address"), words.first(), 1, 247);
        if (const auto *reason = std::get_if<QString>(&value))
            return fail(*reason);
        options.newStation = static_cast<int>(std::get<long long>(value));
        break;
    }
    case Command::Save:
    case Command::Load:
    case Command::Check:
        options.file = words.first();
        break;
    default:
        break;
    }

    options.bauds.assign(modbus::kBaudRates.begin(), modbus::kBaudRates.end());
    if (parser.isSet(bauds)) {
        options.bauds.clear();
        for (const QString &text : parser.value(bauds).split(u',')) {
            const auto value = wholeNumberIn(QStringLiteral("--bauds"), text.trimmed(), 1, 38400);
            if (const auto *reason = std::get_if<QString>(&value))
                return fail(*reason);
            const int speed = static_cast<int>(std::get<long long>(value));
            if (!takesSpeed(speed))
                return fail(QStringLiteral("--bauds %1: the device speaks 2400, 4800, 9600, "
                                           "19200 or 38400")
                                .arg(speed));
            if (std::ranges::find(options.bauds, speed) == options.bauds.end())
                options.bauds.push_back(speed);
        }
    }
    if (parser.isSet(stations)) {
        const QStringList ends = parser.value(stations).split(u'-');
        if (ends.size() > 2)
            return fail(
                QStringLiteral("--stations %1: FIRST-LAST, as 1-247").arg(parser.value(stations)));
        std::pair<int, int> range;
        for (int k = 0; k < static_cast<int>(ends.size()); ++k) {
            const auto value = wholeNumberIn(QStringLiteral("--stations"), ends[k], 1, 247);
            if (const auto *reason = std::get_if<QString>(&value))
                return fail(*reason);
            (k == 0 ? range.first : range.second) = static_cast<int>(std::get<long long>(value));
        }
        if (ends.size() == 1)
            range.second = range.first;
        if (range.second < range.first)
            return fail(QStringLiteral("--stations %1: the last before the first")
                            .arg(parser.value(stations)));
        options.stations = range;
    }
    options.dryRun = parser.isSet(dryRun);
    options.reportFile = parser.value(report);
    result.options = options;
    return result;
}

} // namespace ctl
