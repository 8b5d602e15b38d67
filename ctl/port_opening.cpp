#include "port_opening.h"

#include "serial/open_failure_probe.h"
#include "serial/port_names.h"
#include "serial/transport_factory.h"

#include <QCoreApplication>
#include <QFile>

namespace ctl {

OpenedPort openPort(const QString &port, const serial::PortDirectory &ports, int baud)
{
    serial::LineSettings settings;
    settings.baudRate = baud;
    const std::optional<int> number = serial::comNumber(port);
    QString device = port;
    if (number) {
        const std::optional<serial::DeviceInfo> found = ports.resolve(*number);
        if (!found) {
            const serial::OpenAttempt none{serial::OpenFailure::NoDevice, QString(), QString()};
            return {nullptr, ports.explainOpenFailure(*number, none)};
        }
        device = found->systemLocation;
    }
    std::unique_ptr<serial::Transport> transport = serial::makeTransport(device);
    transport->setLine(settings);
    const serial::OpenAttempt attempt = transport->open();
    if (attempt.failure == serial::OpenFailure::None)
        return {std::move(transport), QString()};
    if (number)
        return {nullptr, ports.explainOpenFailure(*number, attempt)};
    // A device named on the command line stands for no COM number.
    serial::OpenFailureFacts facts = serial::gatherOpenFailureFacts(0, attempt, ports.map(), {});
    facts.mappedBy = QCoreApplication::translate("ctl::PortOpening", "选项 --port");
    return {nullptr, serial::openFailureCause(facts)};
}

std::optional<QStringList> readPortsFile(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QCoreApplication::translate("ctl::PortOpening", "%1：无法读取：%2")
                    .arg(path, file.errorString());
        return std::nullopt;
    }
    QStringList ports;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.contains(u' ') || line.contains(u'\t')) {
            error = QCoreApplication::translate("ctl::PortOpening",
                                                "%1 第 %2 行：每行一个串口，“%3”不是一个串口")
                        .arg(path)
                        .arg(number)
                        .arg(line);
            return std::nullopt;
        }
        ports << line;
    }
    return ports;
}

} // namespace ctl
