#pragma once
#include "support/wait_until.h"

#include "commissioning/device_client.h"
#include "serial/serial_port_transport.h"
#include "sim/sim_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace commissioning_test {

using testing_support::kPatienceMs;
using testing_support::waitUntil;

// The real serial transport on rx904-sim, at the speed the test asks for. The transport
// exists before the device starts: it reaches the terminal through the device's --link.
struct SimLink
{
    QTemporaryDir dir;
    simtest::SimProcess sim;
    std::unique_ptr<serial::SerialPortTransport> line =
        std::make_unique<serial::SerialPortTransport>(dir.filePath(QStringLiteral("com1")));

    // Starts the simulated device and opens COM1 on it.
    [[nodiscard]] bool start(const std::vector<std::string> &options, int baud = 9600)
    {
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(), {"--link", line->location().toStdString()});
        std::string error;
        if (!sim.start(arguments, error)) {
            ADD_FAILURE() << error;
            return false;
        }
        return reopen(baud);
    }

    [[nodiscard]] bool reopen(int baud)
    {
        line->close();
        serial::LineSettings settings;
        settings.baudRate = baud;
        line->setLine(settings);
        return line->open().failure == serial::OpenFailure::None;
    }
};

// How many times the text is in the file (the simulated device's event log).
inline int countInFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(file.readAll().count(text));
}

} // namespace commissioning_test
