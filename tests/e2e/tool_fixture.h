#pragma once
#include "support/wait_until.h"

#include "app/frm_main.h"
#include "operations/comm_adapter.h"
#include "serial/port_directory.h"
#include "sim/sim_process.h"
#include "support/fake_form.h"
#include "support/qt_printers.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace e2e {

using testing_support::kPatienceMs;
using testing_support::waitUntil;

// Runs the event loop for a while, for things that must NOT happen.
inline void runEventsFor(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The real window on the real serial port, against rx904-sim on a pseudo-terminal as COM1.
// COM numbers reach their devices through RX904_COMn, as in the tool.
class ToolFixture : public ::testing::Test
{
protected:
    simtest::SimProcess sim;
    serial::PortDirectory ports;
    std::unique_ptr<ops::CommAdapter> port;
    testing_support::FakeMessageBox messages;
    std::unique_ptr<app::frmMain> window;

    void TearDown() override
    {
        window.reset();
        port.reset();
        qunsetenv("RX904_COM1");
    }

    // Starts the simulated device with the options, then the tool with COM1 on it.
    void startTool(const std::vector<std::string> &simOptions = {})
    {
        startSim(simOptions);
        startWindow();
    }

    void startSim(const std::vector<std::string> &simOptions)
    {
        std::string error;
        ASSERT_TRUE(sim.start(simOptions, error)) << error;
        qputenv("RX904_COM1", QByteArray::fromStdString(sim.path()));
    }

    void startWindow(ops::MessageBox *box = nullptr)
    {
        ports = serial::PortDirectory(serial::PortMap::fromEnvironment());
        port = std::make_unique<ops::CommAdapter>(ports);
        window = std::make_unique<app::frmMain>(*port, box ? *box : messages);
        window->trafficMonitor().follow(*port);
        window->Form_Load();
    }

    template <typename T> T *control(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char *name) const
    {
        if (auto *edit = window->findChild<QLineEdit *>(QString::fromLatin1(name)))
            return edit->text();
        if (auto *plain = window->findChild<QPlainTextEdit *>(QString::fromLatin1(name)))
            return plain->toPlainText();
        if (auto *label = window->findChild<QLabel *>(QString::fromLatin1(name)))
            return label->text();
        ADD_FAILURE() << "no field " << name;
        return {};
    }
    void type(const char *name, const QString &value) { control<QLineEdit>(name)->setText(value); }
    void click(const char *name) { control<QAbstractButton>(name)->click(); }
    QString value(int k) const { return text(QStringLiteral("txtValue(%1)").arg(k).toLatin1()); }

    // Waits until the received counter has reached the number.
    bool waitForReceived(int count)
    {
        return waitUntil([&] { return text("lblErrCounter").toInt() >= count; });
    }
};

} // namespace e2e
