#include "command_line.h"

#include "serial/port_names.h"
#include "serial/tcp_device.h"
#include "translations/language.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace app {

namespace {

constexpr auto kProgram = "rx904-tool";

// The usage in the window's language; Qt's own help text would be in English and would name
// the program by the path it was started with.
QString usageText(const QList<QCommandLineOption> &options)
{
    QString text = QCoreApplication::translate(
                       "CommandLine", "用法：%1 [选项]\nRX904智能电压控制器工具软件\n\n选项：\n")
                       .arg(QLatin1String(kProgram));
    for (const QCommandLineOption &option : options) {
        QStringList names;
        for (const QString &name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString left = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            left += QLatin1Char(' ') + option.valueName();
        text +=
            left.leftJustified(28) + QLatin1Char(' ') + option.description() + QLatin1Char('\n');
    }
    return text;
}

// "COMn=DEVICE", n 1..25 (COM in any case), DEVICE not empty.
std::optional<std::pair<int, QString>> portMapping(const QString &value)
{
    const qsizetype equals = value.indexOf(QLatin1Char('='));
    const std::optional<int> port = serial::comNumber(value.left(equals));
    // A device name is one line.
    if (equals < 0 || !port || equals + 1 == value.size() ||
        value.indexOf(QLatin1Char('\n'), equals) >= 0)
        return std::nullopt;
    return std::pair{*port, value.mid(equals + 1)};
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("CommandLine", "显示本帮助并退出"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("CommandLine", "显示版本并退出"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QCoreApplication::translate(
            "CommandLine", "COMn 对应的设备，与环境变量 RX904_COMn 相同（n 为 1-25，可重复）；"
                           "串口服务器写作 tcp://主机:端口"),
        QStringLiteral("COMn=DEVICE"));
    const QCommandLineOption configure(
        QStringLiteral("configure"),
        QCoreApplication::translate("CommandLine", "启动后立即打开“设备配置”窗口"));
    const QCommandLineOption monitor(
        QStringLiteral("monitor"),
        QCoreApplication::translate("CommandLine", "启动时同时打开通讯监视窗口"));
    const QCommandLineOption language(
        QStringLiteral("language"),
        QCoreApplication::translate("CommandLine",
                                    "界面语言：zh（中文）或 en（英文）；默认按桌面的语言选择"),
        QStringLiteral("zh|en"));
    const QList<QCommandLineOption> options{help, version, port, monitor, configure, language};

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);

    CommandLine result;
    const auto fail = [&](const QString &cause) {
        result.exitStatus = 2;
        result.text = cause + QLatin1Char('\n') + usageText(options);
        return result;
    };
    if (!parser.parse(arguments)) {
        // Qt's own error text is English; the one mistake left here is a value missing or
        // given to an option that takes none.
        if (parser.unknownOptionNames().isEmpty()) {
            if (arguments.last() == QLatin1String("--port"))
                return fail(QCoreApplication::translate("CommandLine", "选项 --port 缺少值"));
            return fail(QCoreApplication::translate("CommandLine", "选项缺少值或带有多余的值"));
        }
        const QString name = parser.unknownOptionNames().first();
        return fail(QCoreApplication::translate("CommandLine", "未知选项：%1%2")
                        .arg(QLatin1String(name.size() == 1 ? "-" : "--"), name));
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QCoreApplication::translate("CommandLine", "多余的参数：%1")
                        .arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        result.exitStatus = 0;
        result.text = usageText(options);
        return result;
    }
    if (parser.isSet(version)) {
        result.exitStatus = 0;
        result.text =
            QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QStringLiteral(RX904_VERSION));
        return result;
    }
    if (parser.isSet(language) && !i18n::languageNamed(parser.value(language)))
        return fail(
            QCoreApplication::translate("CommandLine", "--language 的值“%1”有误，应为 zh 或 en")
                .arg(parser.value(language)));
    result.configure = parser.isSet(configure);
    for (const QString &value : parser.values(port)) {
        const auto mapping = portMapping(value);
        if (!mapping)
            return fail(QCoreApplication::translate(
                            "CommandLine", "--port 的值“%1”有误，应为 COMn=设备，n 为 1-25，"
                                           "例如 --port COM1=/dev/ttyUSB0")
                            .arg(value));
        // A device server must be reachable at all: host and port 1..65535.
        if (serial::isTcpDevice(mapping->second) && !serial::parseTcpDevice(mapping->second))
            return fail(QCoreApplication::translate("CommandLine",
                                                    "--port 的值“%1”不是有效的串口服务器地址，应为 "
                                                    "tcp://主机:端口，端口为 1-65535，例如 "
                                                    "tcp://192.168.1.200:4001")
                            .arg(value));
        result.ports[mapping->first] = mapping->second;
    }
    result.monitor = parser.isSet(monitor);
    return result;
}

serial::PortMap portMap(const CommandLine &commandLine)
{
    serial::PortMap map = serial::PortMap::fromEnvironment();
    for (const auto &[port, device] : commandLine.ports)
        map.set(port, device, serial::PortOrigin::CommandLine);
    return map;
}

} // namespace app
