#include "app/monitor_window.h"
#include "app/traffic_model.h"
#include "modbus/frame_timing.h"
#include "tool_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMenu>
#include <QTest>

using namespace e2e;
using Column = app::TrafficModel::Column;

namespace {

struct FaultCase
{
    const char *name;
    std::vector<std::string> simOptions;
    const char *counter;     // the counter label that must read one
    const char *counterText; // its text then
    const char *answerRow;   // the meaning of the row after the request
    int answerLength;
};

class MonitorAgainstSim : public ToolFixture, public ::testing::WithParamInterface<FaultCase>
{
protected:
    QWidget *monitorWindow() const { return window->trafficMonitorWindow(); }
    QString monitorText(const char *name) const
    {
        auto *label = monitorWindow()->findChild<QLabel *>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("(no %1)").arg(QLatin1String(name));
    }
    QAbstractItemModel *record() const
    {
        return monitorWindow()
            ->findChild<QAbstractItemView *>(QStringLiteral("tblRecord"))
            ->model();
    }
    QString cell(int row, int column) const
    {
        return record()->index(row, column).data().toString();
    }
    void clickInMonitor(const char *name)
    {
        monitorWindow()->findChild<QAbstractButton *>(QString::fromLatin1(name))->click();
    }
};

} // namespace

// The real window polls once through the real port; the monitor window shows the request
// and the device's answer, faulty or not, as whole rows with the right counter.
TEST_P(MonitorAgainstSim, OneQueryShowsItsRowsAndCounters)
{
    const FaultCase &c = GetParam();
    startTool(c.simOptions);
    // F2 on the shown window opens the monitor, as the operator would.
    window->show();
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_F2);
    ASSERT_NE(monitorWindow(), nullptr);
    EXPECT_EQ(monitorWindow()->windowTitle(), QStringLiteral("通讯监视"));
    // The start-up sends nothing but opens the port, a row of its own; reset and clear, as an
    // operator would.
    window->trafficMonitor().flush();
    clickInMonitor("cmdResetCounters");
    clickInMonitor("cmdClear");
    QCoreApplication::processEvents();
    ASSERT_EQ(record()->rowCount(), 0);

    click("comDoOnce");
    ASSERT_TRUE(waitUntil([&] {
        return monitorText(c.counter) == QString::fromUtf8(c.counterText);
    })) << monitorText(c.counter).toStdString();
    ASSERT_TRUE(waitUntil([&] { return record()->rowCount() == 2; })) << record()->rowCount();
    EXPECT_EQ(cell(0, Column::Direction), QStringLiteral("发送"));
    EXPECT_EQ(cell(0, Column::Bytes), QStringLiteral("01 03 00 00 00 0F 05 CE"));
    EXPECT_EQ(cell(0, Column::Meaning), QStringLiteral("读寄存器 站1 起始0 数量15"));
    EXPECT_EQ(cell(1, Column::Direction), QStringLiteral("接收"));
    EXPECT_EQ(cell(1, Column::Length), QString::number(c.answerLength));
    EXPECT_EQ(cell(1, Column::Meaning), QString::fromUtf8(c.answerRow));
    EXPECT_EQ(monitorText("lblRequests"), QStringLiteral("请求 1"));
    // The main window's own counters are its own: the monitor's reset did not touch them.
    EXPECT_EQ(text("lblCounter"), QStringLiteral("2"));

    // Closed and opened again, the window still holds the history.
    monitorWindow()->close();
    window->openTrafficMonitor();
    EXPECT_EQ(record()->rowCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MonitorAgainstSim,
    ::testing::Values(
        FaultCase{"Healthy", {}, "lblComplete", "完整应答 1", "应答 15个寄存器", 35},
        FaultCase{"BadCrc", {"--fault", "bad-crc"}, "lblBadCrc", "CRC 错误 1", "CRC 错误", 35},
        FaultCase{"Short",
                  {"--fault", "short"},
                  "lblIncomplete",
                  "不完整 1",
                  "不完整 (收到 32/35 字节)",
                  32},
        FaultCase{"Silent", {"--fault", "silent"}, "lblUnanswered", "无应答 1", "无应答", 0}),
    [](const auto &info) { return std::string(info.param.name); });

// At 38400 baud the query's last byte leaves 8 x 260.4 us after the write, and a device on
// a real line's timing answers some 12 ms after that: counting from the write or by the
// start-up 9600 baud gives another number.
TEST_F(ToolFixture, ResponseTimeRunsFromTheQuerysLastByteAtTheLinesSpeed)
{
    using namespace std::chrono;
    startTool({"--baud", "38400", "--wire-timing"});
    port->setSettings(QStringLiteral("38400,N,8,1"));
    steady_clock::time_point written;
    steady_clock::time_point lastIn;
    QObject::connect(port->transport(), &serial::Transport::sent, port.get(),
                     [&](const QByteArray &, steady_clock::time_point at) { written = at; });
    QObject::connect(port->transport(), &serial::Transport::received, port.get(),
                     [&](const QByteArray &, steady_clock::time_point at) { lastIn = at; });
    click("comDoOnce");
    const monitor::Counters &n = window->trafficMonitor().counters();
    ASSERT_TRUE(waitUntil([&] { return n.complete == 1; })) << text("lblErrCounter").toStdString();
    EXPECT_EQ(n.requests, 1);
    const steady_clock::time_point left = written + 8 * modbus::characterTime(38400);
    EXPECT_EQ(n.lastResponse, duration_cast<microseconds>(lastIn - left));
}

// The two frame fields keep their standard menu and gain one entry that opens the monitor.
TEST_F(ToolFixture, FrameFieldMenuKeepsItsEntriesAndOpensTheMonitor)
{
    startTool();
    window->show();
    auto *field = control<QPlainTextEdit>("txtState");
    emit field->customContextMenuRequested(QPoint(5, 5));
    QMenu *menu = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *m = qobject_cast<QMenu *>(top); m && m->isVisible())
                menu = m;
        }
        return menu != nullptr;
    }));
    const QList<QAction *> actions = menu->actions();
    ASSERT_GT(actions.size(), 2);
    EXPECT_EQ(actions.last()->text(), QStringLiteral("通讯监视…"));
    actions.last()->trigger();
    menu->close();
    ASSERT_NE(window->trafficMonitorWindow(), nullptr);
    EXPECT_TRUE(window->trafficMonitorWindow()->isVisible());
}
