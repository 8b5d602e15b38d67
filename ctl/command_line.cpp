#include "command_line.h"

#include "whole_number.h"

#include "translations/language.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

namespace ctl {
namespace {

// The columns line up on a terminal, where a Chinese character takes two places.
QString usage()
{
    return QCoreApplication::translate(
        "ctl::CommandLine",
        "用法：rx904ctl [选项]... 命令 [参数]...\n"
        "经 Modbus RTU 读取、监视和设置 RX904 电压控制器。\n"
        "\n"
        "选项：\n"
        "  --port 设备            COMn（同 RX904_COMn 或 rx904-tool 的编号）、设备路径\n"
        "                         或 tcp://主机:端口；可重复，每个串口各为一条总线\n"
        "                         （默认 COM1）\n"
        "  --ports-file 文件      串口列表，每行一个（# 开始注释）\n"
        "  --baud N               2400、4800、9600（默认）、19200 或 38400\n"
        "  --station N            设备的站号，1..247（默认 1）\n"
        "  --timeout 毫秒         每次尝试的超时（默认按波特率）\n"
        "  --retries N            首次之后没有可用应答时再试的次数（默认 1）\n"
        "  --format 格式          text（默认）、json（每行一个对象）或 csv\n"
        "  --language zh|en       信息的语言：中文或英文（默认按桌面的语言）\n"
        "  --list-parameters      列出参数：名称、键名、寄存器、范围、单位\n"
        "  -h, --help             显示本帮助\n"
        "  -v, --version          显示版本\n"
        "\n"
        "命令：\n"
        "  read                   读取十五个值，带名称、单位和原始寄存器值\n"
        "  watch [--period 毫秒] [--count N]\n"
        "                         每轮询一次十五个值输出一行（默认每 1000 毫秒）\n"
        "  write 名称=值...       按名称、键名或寄存器设置参数，每个都读回核对\n"
        "  ident                  读取设备的识别文本\n"
        "  address 新站号         把设备移到新站号（1..247）\n"
        "  find [--bauds 列表] [--stations 首-末]\n"
        "                         找出所有应答的设备：在每种波特率下读取地址，\n"
        "                         或在每种波特率下逐个询问范围内的站号\n"
        "  save 文件              把参数保存为 rx904-tool 的参数文件\n"
        "  load 文件 [--dry-run] [--report 输出.json]\n"
        "                         写入与文件不同的参数，每个都读回核对\n"
        "  check 文件             比较设备与参数文件，不写入\n"
        "  monitor [--period 毫秒] [--count N]\n"
        "                         像 watch 一样轮询，并输出判定后的每一帧\n"
        "\n"
        "退出状态：0 一切正常，1 无应答，2 用法错误，3 设备拒绝，4 读回与写入不同\n"
        "（或与文件不同），5 串口无法打开，6 文件无法读取或无效。详见 rx904ctl(1)。\n");
}

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

QString speedRefused(const QString &option, int baud)
{
    return QCoreApplication::translate("ctl::CommandLine",
                                       "%1 %2：设备只支持 2400、4800、9600、19200 或 38400")
        .arg(option)
        .arg(baud);
}

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
    // Chosen before the parsing (i18n::languageFor); here only checked.
    const QCommandLineOption language = option("language", "LANGUAGE");
    const QCommandLineOption listParameters = option("list-parameters");
    const QCommandLineOption period = option("period", "MS");
    const QCommandLineOption count = option("count", "N");
    const QCommandLineOption bauds = option("bauds", "LIST");
    const QCommandLineOption stations = option("stations", "RANGE");
    const QCommandLineOption dryRun = option("dry-run");
    const QCommandLineOption report = option("report", "FILE");

    QCommandLineParser parser;
    parser.addOptions({help, version, port, portsFile, baud, station, timeout, retries, format,
                       language, listParameters, period, count, bauds, stations, dryRun, report});

    ParseResult result;
    const auto fail = [&result](const QString &reason) {
        result.exitStatus = 2;
        result.text = reason;
        return result;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            return fail(QCoreApplication::translate("ctl::CommandLine",
                                                    "未知选项 %1%2（rx904ctl --help 列出所有选项）")
                            .arg(QLatin1String(name.size() == 1 ? "-" : "--"), name));
        }
        return fail(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.text = usage();
        return result;
    }
    if (parser.isSet(version)) {
        result.text = QStringLiteral("rx904ctl %1\n").arg(QStringLiteral(RX904_VERSION));
        return result;
    }

    Options options;
    // Each option once, but --port; a number checked against its range.
    for (const QCommandLineOption &once : {portsFile, baud, station, timeout, retries, format,
                                           language, period, count, bauds, stations, report}) {
        if (parser.values(once).size() > 1)
            return fail(QCoreApplication::translate("ctl::CommandLine", "选项 --%1 给出了两次")
                            .arg(once.names().first()));
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
        return fail(speedRefused(QStringLiteral("--baud"), options.baud));
    if (parser.isSet(format)) {
        const QString name = parser.value(format);
        if (name == QLatin1String("json"))
            options.format = Format::Json;
        else if (name == QLatin1String("csv"))
            options.format = Format::Csv;
        else if (name != QLatin1String("text"))
            return fail(QCoreApplication::translate("ctl::CommandLine",
                                                    "--format %1：应为 text、json 或 csv")
                            .arg(name));
    }
    if (parser.isSet(language) && !i18n::languageNamed(parser.value(language)))
        return fail(QCoreApplication::translate("ctl::CommandLine", "--language %1：应为 zh 或 en")
                        .arg(parser.value(language)));
    options.listParameters = parser.isSet(listParameters);

    QStringList words = parser.positionalArguments();
    if (options.listParameters) {
        if (!words.isEmpty())
            return fail(
                QCoreApplication::translate("ctl::CommandLine", "--list-parameters 不带命令"));
        result.options = options;
        return result;
    }
    if (words.isEmpty())
        return fail(QCoreApplication::translate("ctl::CommandLine",
                                                "没有给出命令（rx904ctl --help 列出所有命令）"));
    const QString name = words.takeFirst();
    const auto info = std::ranges::find_if(
        kCommands, [&name](const CommandInfo &c) { return name == QLatin1String(c.name); });
    if (info == std::end(kCommands))
        return fail(QCoreApplication::translate("ctl::CommandLine",
                                                "未知命令“%1”（rx904ctl --help 列出所有命令）")
                        .arg(name));
    options.command = info->command;
    if (info->arguments == 0 && !words.isEmpty())
        return fail(QCoreApplication::translate("ctl::CommandLine", "%1 不带参数，却给出了“%2”")
                        .arg(name, words.first()));
    if (info->arguments == 1 && words.size() != 1)
        return fail(QCoreApplication::translate("ctl::CommandLine", "%1 需要一个参数").arg(name));

    // The options of one command are refused with the others: a typo must not pass unseen.
    const auto belongs = [&](const QCommandLineOption &which, std::initializer_list<Command> to) {
        if (parser.isSet(which) && std::ranges::find(to, options.command) == to.end()) {
            if (error.isEmpty())
                error = QCoreApplication::translate("ctl::CommandLine", "--%1 不是 %2 的选项")
                            .arg(which.names().first(), name);
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
                return fail(speedRefused(QStringLiteral("--bauds"), speed));
            if (std::ranges::find(options.bauds, speed) == options.bauds.end())
                options.bauds.push_back(speed);
        }
    }
    if (parser.isSet(stations)) {
        const QStringList ends = parser.value(stations).split(u'-');
        if (ends.size() > 2)
            return fail(QCoreApplication::translate("ctl::CommandLine",
                                                    "--stations %1：应为 首-末，例如 1-247")
                            .arg(parser.value(stations)));
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
            return fail(
                QCoreApplication::translate("ctl::CommandLine", "--stations %1：末站号小于首站号")
                    .arg(parser.value(stations)));
        options.stations = range;
    }
    options.dryRun = parser.isSet(dryRun);
    options.reportFile = parser.value(report);
    result.options = options;
    return result;
}

} // namespace ctl
