// Opens COM1 (RX904_COM1 names the device) the way the tool does and prints "opened" or
// "refused", then after a refusal the cause on one line. An opened port is held until
// standard input ends.
#include "operations/comm_adapter.h"
#include "serial/port_directory.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    serial::PortDirectory ports(serial::PortMap::fromEnvironment());
    ops::CommAdapter control(ports);
    control.setCommPort(1);
    if (!control.setPortOpen(true)) {
        std::puts("refused");
        const QByteArray cause =
            control.openFailureCause().replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8();
        std::puts(cause.constData());
        return 0;
    }
    std::puts("opened");
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
    }
    control.setPortOpen(false);
    return 0;
}
