#include "open_failure.h"

#include "tcp_device.h"
#include "translations/language.h"

#include <QCoreApplication>

namespace serial {

namespace {

// Group read and write bits of a device's mode.
constexpr unsigned kGroupReadWrite = 060;

// Between the "COMn → device" pairs, a comma in either language.
QString listComma()
{
    return QCoreApplication::translate("OpenFailure", "，", "between the items of a list");
}

QString presentDevicesText(const OpenFailureFacts &facts)
{
    if (facts.devicesPresent == 0 && facts.reachable.isEmpty())
        return QCoreApplication::translate("OpenFailure", "本机当前没有串口设备。");
    // RX904_COMn set for the lower numbers can leave listed devices without a number.
    if (facts.reachable.isEmpty())
        return QCoreApplication::translate("OpenFailure",
                                           "本机当前有 %1 个串口设备，但没有串口号对应它们。")
            .arg(facts.devicesPresent);
    QStringList pairs;
    for (const ComMapping &mapping : facts.reachable)
        pairs << QStringLiteral("COM%1 → %2").arg(mapping.port).arg(mapping.path);
    return QCoreApplication::translate("OpenFailure",
                                       "本机当前有 %1 个串口设备，各串口号对应的设备：%2。")
        .arg(facts.devicesPresent)
        .arg(pairs.join(listComma()));
}

QString missingDeviceText(const OpenFailureFacts &facts)
{
    const QString &path = facts.attempt.path;
    if (path.isEmpty())
        return QCoreApplication::translate("OpenFailure", "COM%1 当前没有对应的串口设备。")
            .arg(facts.port);
    if (!facts.mappedBy.isEmpty())
        return QCoreApplication::translate("OpenFailure", "%1 指定的设备 %2 不存在。")
            .arg(facts.mappedBy, path);
    return QCoreApplication::translate("OpenFailure", "COM%1 对应的设备 %2 已不存在。")
        .arg(facts.port)
        .arg(path);
}

bool brlttyMayHaveIt(const OpenFailureFacts &facts)
{
    return facts.brlttyInstalled &&
           (!facts.vanishedUsb.isEmpty() || facts.usbInterfacesClaimed > 0);
}

// Debian 12 starts brltty once at boot (brltty.service) and it then claims the USB adapters
// it takes for braille displays; other distributions start it per device from a udev rule
// through brltty-udev.service.
QString brlttyText(const OpenFailureFacts &facts)
{
    QString text;
    if (!facts.vanishedUsb.isEmpty()) {
        text = QCoreApplication::translate("OpenFailure", "先前列出的 USB 串口转换器 %1 已经消失。")
                   .arg(i18n::listed(facts.vanishedUsb));
    } else {
        text = QCoreApplication::translate(
                   "OpenFailure", "有 %1 个 USB 接口正被某个程序直接占用，没有成为串口设备。")
                   .arg(facts.usbInterfacesClaimed);
    }
    text += QCoreApplication::translate(
        "OpenFailure", "本机装有盲文显示器服务 brltty，它可能把 USB 串口转换器（如 CH340、"
                       "CP2102）当作盲文显示器占用了。");
    if (facts.brlttyUdevRules) {
        text += QCoreApplication::translate(
            "OpenFailure", "如果不使用盲文显示器，可执行 sudo apt remove brltty 将其卸载；"
                           "或执行 sudo systemctl disable --now brltty.service 停用该服务，"
                           "并执行 sudo systemctl mask brltty-udev.service。然后拔下转换器再重新"
                           "插上。");
    } else {
        text += QCoreApplication::translate(
            "OpenFailure", "如果不使用盲文显示器，可执行 sudo apt remove brltty 将其卸载；"
                           "或执行 sudo systemctl disable --now brltty.service 停用该服务。"
                           "然后拔下转换器再重新插上。");
    }
    return text;
}

QString permissionText(const OpenFailureFacts &facts)
{
    const QString &path = facts.attempt.path;
    const bool groupMayUse =
        (facts.mode & kGroupReadWrite) == kGroupReadWrite && facts.group != QLatin1String("root");
    if (groupMayUse && facts.listedInGroup && !facts.inGroupNow) {
        return QCoreApplication::translate("OpenFailure",
                                           "没有权限读写 %1。当前用户已加入该设备所属的 %2 组，"
                                           "但要注销并重新登录后才生效。")
            .arg(path, facts.group);
    }
    if (groupMayUse && !facts.inGroupNow) {
        return QCoreApplication::translate(
                   "OpenFailure", "没有权限读写 %1：该设备属于 %2 组，当前用户不在该组中。请执行"
                                  "以下命令，然后注销并重新登录：\nsudo usermod -aG %2 $USER")
            .arg(path, facts.group);
    }
    return QCoreApplication::translate(
               "OpenFailure", "没有权限读写 %1：其权限为 %2（属主 %3，组 %4），当前用户无权读写。")
        .arg(path, QStringLiteral("%1").arg(facts.mode, 4, 8, QLatin1Char('0')), facts.owner,
             facts.group);
}

QString holdersText(const OpenFailureFacts &facts)
{
    QStringList named;
    for (const DeviceHolder &holder : facts.holders) {
        if (holder.lockFile.isEmpty()) {
            named << QCoreApplication::translate("OpenFailure", "%1（进程号 %2）")
                         .arg(holder.program)
                         .arg(holder.pid);
        } else {
            named << QCoreApplication::translate("OpenFailure", "%1（进程号 %2，锁文件 %3）")
                         .arg(holder.program)
                         .arg(holder.pid)
                         .arg(holder.lockFile);
        }
    }
    return QCoreApplication::translate("OpenFailure",
                                       "%1 正被程序 %2 占用。请先关闭该程序，再打开串口。")
        .arg(facts.attempt.path, i18n::listed(named));
}

QString systemErrorText(const OpenFailureFacts &facts)
{
    if (facts.attempt.failure == OpenFailure::Locked) {
        return QCoreApplication::translate("OpenFailure",
                                           "%1 已被另一个程序独占。请先关闭该程序，再打开串口。")
            .arg(facts.attempt.path);
    }
    if (facts.attempt.systemError.isEmpty())
        return QCoreApplication::translate("OpenFailure", "打开 %1 失败，系统没有说明原因。")
            .arg(facts.attempt.path);
    return QCoreApplication::translate("OpenFailure", "打开 %1 失败，系统报告：%2")
        .arg(facts.attempt.path, facts.attempt.systemError);
}

// Converters take one connection at a time, so a second program (or a second copy of this
// tool) connected to it is refused as often as a wrong port number is.
QString deviceServerText(const OpenFailureFacts &facts)
{
    const OpenAttempt &attempt = facts.attempt;
    const std::optional<TcpAddress> address = parseTcpDevice(attempt.path);
    if (attempt.failure == OpenFailure::TcpBadAddress || !address) {
        return QCoreApplication::translate("OpenFailure",
                                           "“%1”不是有效的串口服务器地址，应为 tcp://主机:端口，"
                                           "例如 tcp://192.168.1.200:4001。")
            .arg(attempt.path);
    }
    const QString server = tcpAddressText(*address);
    switch (attempt.failure) {
    case OpenFailure::TcpHostNotFound:
        return QCoreApplication::translate(
                   "OpenFailure", "找不到串口服务器的主机名 %1。请检查名称，或改用 IP 地址。")
            .arg(address->host);
    case OpenFailure::TcpRefused:
        return QCoreApplication::translate(
                   "OpenFailure", "串口服务器 %1 拒绝了连接：该端口上没有程序接受连接。请检查端口号"
                                  "和转换器的 TCP 服务器设置；转换器通常同一时间只接受一个连接，"
                                  "也可能另一个程序正连着它。")
            .arg(server);
    case OpenFailure::TcpTimedOut:
        return QCoreApplication::translate(
                   "OpenFailure", "连接串口服务器 %1 超时：%2 秒内没有应答。请检查转换器的电源、"
                                  "网线和 IP 地址，以及本机与它是否在同一网段。")
            .arg(server)
            .arg(kTcpConnectTimeoutMs / 1000);
    default:
        if (attempt.systemError.isEmpty())
            return QCoreApplication::translate("OpenFailure",
                                               "连接串口服务器 %1 失败，系统没有说明原因。")
                .arg(server);
        return QCoreApplication::translate("OpenFailure", "连接串口服务器 %1 失败，系统报告：%2")
            .arg(server, attempt.systemError);
    }
}

// "\\.\COM3" → "COM3", as Windows' device manager names it.
QString windowsPortName(const QString &path)
{
    return path.startsWith(QLatin1String("\\\\.\\")) ? path.mid(4) : path;
}

QString windowsText(const OpenFailureFacts &facts)
{
    const QString port = windowsPortName(facts.attempt.path);
    switch (facts.attempt.failure) {
    case OpenFailure::NotFound: {
        QStringList present;
        for (const ComMapping &mapping : facts.reachable)
            present << windowsPortName(mapping.path);
        const QString list =
            present.isEmpty() ? QCoreApplication::translate("OpenFailure", "本机当前没有串口。")
                              : QCoreApplication::translate("OpenFailure", "本机当前的串口：%1。")
                                    .arg(i18n::listed(present));
        return QCoreApplication::translate("OpenFailure", "本机没有串口 %1。").arg(port) + list +
               QCoreApplication::translate(
                   "OpenFailure", "请按设备管理器“端口 (COM 和 LPT)”中显示的名称选择串口号；USB "
                                  "转换器要插上并装好驱动后才会出现在那里。");
    }
    case OpenFailure::Locked:
    case OpenFailure::Permission:
        return QCoreApplication::translate(
                   "OpenFailure", "%1 拒绝访问：它正被另一个程序打开，而 Windows 的串口同一时间"
                                  "只能由一个程序打开。请关闭该程序（例如串口调试助手，或另一个"
                                  "本工具窗口），再打开串口。")
            .arg(port);
    default: {
        QString reported = facts.attempt.systemError;
        // Windows' messages end in a full stop of their own.
        while (reported.endsWith(QChar(0x3002)) || reported.endsWith(QLatin1Char('.')))
            reported.chop(1);
        return QCoreApplication::translate(
                   "OpenFailure", "打开 %1 失败，串口驱动报告：%2。请拔下 USB 转换器再插上；"
                                  "如仍失败，请在设备管理器中检查该端口的驱动。")
            .arg(port, reported.isEmpty() ? QCoreApplication::translate("OpenFailure", "未说明原因")
                                          : reported);
    }
    }
}

} // namespace

bool isTcpFailure(OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::TcpBadAddress:
    case OpenFailure::TcpHostNotFound:
    case OpenFailure::TcpRefused:
    case OpenFailure::TcpTimedOut:
    case OpenFailure::TcpOther:
        return true;
    default:
        return false;
    }
}

QString openFailureCause(const OpenFailureFacts &facts)
{
    const OpenAttempt &attempt = facts.attempt;
    if (isTcpFailure(attempt.failure))
        return deviceServerText(facts);
    if (facts.windows && attempt.failure != OpenFailure::NoDevice)
        return windowsText(facts);
    if (!facts.closedDirectory.isEmpty())
        return QCoreApplication::translate("OpenFailure",
                                           "没有权限访问 %1：当前用户不能进入目录 %2。")
            .arg(attempt.path, facts.closedDirectory);
    const bool missing =
        attempt.failure == OpenFailure::NoDevice || attempt.path.isEmpty() || !facts.exists;
    if (missing) {
        if (brlttyMayHaveIt(facts))
            return brlttyText(facts) + QLatin1Char('\n') + presentDevicesText(facts);
        return missingDeviceText(facts) + presentDevicesText(facts);
    }
    // Without the group the system did not say who may use the device.
    if (!facts.canReadWrite && !facts.group.isEmpty())
        return permissionText(facts);
    if (!facts.holders.isEmpty())
        return holdersText(facts);
    return systemErrorText(facts);
}

} // namespace serial
