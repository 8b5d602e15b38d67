#include "tool_fixture.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <csignal>

using namespace e2e;

namespace {

// Counts the pairs in a received-frame text (" 01 03 ...").
int pairsIn(const QString &text)
{
    return static_cast<int>(text.size() / 3);
}

} // namespace

class ToolAgainstSim : public ToolFixture
{
};

// The same exchanges on a pseudo-terminal and through a serial device server on loopback TCP.
struct Line
{
    const char *name;
    std::vector<std::string> simOptions;
};

class ToolAgainstSimOn : public ToolFixture, public testing::WithParamInterface<Line>
{
protected:
    void startTool(std::vector<std::string> options = {})
    {
        options.insert(options.end(), GetParam().simOptions.begin(), GetParam().simOptions.end());
        ToolFixture::startTool(options);
    }
};

INSTANTIATE_TEST_SUITE_P(Lines, ToolAgainstSimOn,
                         testing::Values(Line{"PseudoTerminal", {}},
                                         Line{"DeviceServer", {"--tcp", "127.0.0.1:0"}}),
                         [](const testing::TestParamInfo<Line> &info) {
                             return std::string(info.param.name);
                         });

TEST_P(ToolAgainstSimOn, StartUpOpensCom1AndSingleQueryShowsTheDevicesFifteenValues)
{
    startTool({"--register", "0=235"});
    ASSERT_TRUE(port->portOpen());
    EXPECT_EQ(window->lampInFront(), ops::Lamp::imgNotConnected);
    EXPECT_EQ(text("lblCounter"), "1");
    EXPECT_EQ(text("lblErrCounter"), "1");

    click("comDoOnce");
    EXPECT_EQ(text("txtCommand"), "01 03 00 00 00 0F 05 CE ");
    EXPECT_EQ(window->lampInFront(), ops::Lamp::ImgYellow);
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(pairsIn(text("txtState")), 35);
    EXPECT_TRUE(text("txtState").startsWith(" 01 03 1E"));
    EXPECT_EQ(text("lblCounter"), "2");
    const QStringList expected{"23.5", "",  "0",     "800", "0",    "0", "0", "1",
                               "9600", "1", "50000", "0",   "1000", "0", "2"};
    for (int k = 0; k < 15; ++k) {
        if (!expected[k].isEmpty()) {
            EXPECT_EQ(value(k), expected[k]) << "txtValue(" << k << ")";
        }
    }
    EXPECT_EQ(window->lampInFront(), ops::Lamp::imgConnected);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_P(ToolAgainstSimOn, ParameterWrittenThenReadBack)
{
    startTool();
    const struct
    {
        int button;
        const char *typed;
        const char *readBack;
    } writes[] = {{0, "123", "123"},     {3, "-5", "-5"}, {3, "-1", "0"}, {5, "19200", "19200"},
                  {7, "40000", "40000"}, {11, "5", "5"},  {1, "2.5", "2"}};
    int received = 1;
    for (const auto &w : writes) {
        const QString field = QStringLiteral("txtValue(%1)").arg(w.button + 3);
        type(field.toLatin1().constData(), QString::fromUtf8(w.typed));
        click(QStringLiteral("cmdSet(%1)").arg(w.button).toLatin1().constData());
        ASSERT_TRUE(waitForReceived(++received)) << w.typed;
        // the echo of the whole 8-byte request
        EXPECT_EQ(pairsIn(text("txtState")), 8) << w.typed;
        EXPECT_EQ(text("txtState").mid(0, 9), " 01 06 0A");
        EXPECT_EQ(text("txtStationID"), "1");
        if (w.button == 5) {
            // The device talks at its new speed from now on; the operator follows it.
            auto *speeds = control<QComboBox>("Combo2");
            speeds->setCurrentIndex(speeds->findText(QString::fromUtf8(w.typed)));
            window->Combo2_Click();
        }
        type(field.toLatin1().constData(), "x");
        click("comDoOnce");
        ASSERT_TRUE(waitForReceived(++received));
        EXPECT_EQ(value(w.button + 3), w.readBack) << w.typed;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ToolAgainstSim, AddressReadChangedAndReadAgainAtTheNewAddress)
{
    startTool({"--station", "3"});
    type("txtSetID(0)", "9");
    click("cmdReadAdd");
    EXPECT_EQ(text("txtCommand"), "FA 03 00 00 00 01 91 81 ");
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(pairsIn(text("txtState")), 7);
    EXPECT_EQ(text("txtSetID(0)"), "3");
    EXPECT_EQ(text("txtStationID"), "3");

    type("txtSetID(1)", "17");
    click("cmdChangeID");
    ASSERT_TRUE(waitForReceived(3));
    EXPECT_EQ(pairsIn(text("txtState")), 8);
    // the plain echo of the change shows the new address, not the register's low byte
    EXPECT_EQ(text("txtSetID(0)"), "17");
    EXPECT_EQ(text("txtStationID"), "17");

    click("comDoOnce");
    ASSERT_TRUE(waitForReceived(4));
    EXPECT_TRUE(text("txtState").startsWith(" 11 03 1E"));
    EXPECT_EQ(value(9), "17");

    click("cmdReadAdd");
    ASSERT_TRUE(waitForReceived(5));
    EXPECT_EQ(text("txtSetID(0)"), "17");
}

TEST_F(ToolAgainstSim, DeviceIdentificationIsShown)
{
    startTool({"--ident", "RX904-T\xC3\xA9st"});
    click("Command2");
    EXPECT_EQ(text("txtCommand"), "01 26 00 00 00 05 C8 0E ");
    EXPECT_EQ(window->lampInFront(), ops::Lamp::imgConnected);
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(pairsIn(text("txtState")), 16);
    // the UTF-8 bytes C3 A9 arrive as two characters U+00C3 U+00A9
    EXPECT_EQ(text("TXTtype"), QString::fromUtf8("RX904-T\u00C3\u00A9st"));
    EXPECT_EQ(text("lblCounter"), "1");
}

TEST_P(ToolAgainstSimOn, PollingKeepsBothCountersTogetherWithNoAnswerLost)
{
    startTool();
    type("txtTimerSet", "50");
    click("cmdOneM");
    EXPECT_EQ(window->timer2().interval(), 50);
    runEventsFor(2000);
    click("cmdStopOnce");
    // the answer still on its way is received and decoded after the stop
    ASSERT_TRUE(waitUntil([&] { return text("lblErrCounter") == text("lblCounter"); }));
    runEventsFor(300);
    const int sent = text("lblCounter").toInt();
    EXPECT_GE(sent, 20);
    EXPECT_EQ(text("lblErrCounter").toInt(), sent);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(value(3), "800");
}

TEST_F(ToolAgainstSim, StopLeavesTheAnswerOnItsWayToBeDecoded)
{
    startTool({"--fault", "late=300"});
    type("txtTimerSet", "100");
    click("cmdOneM");
    ASSERT_TRUE(waitUntil([&] { return text("lblCounter") == "2"; }));
    click("cmdStopOnce");
    EXPECT_FALSE(window->timer2().isEnabled());
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(value(3), "800");
    runEventsFor(300);
    EXPECT_EQ(text("lblCounter"), "2");
}

TEST_F(ToolAgainstSim, ClosingTheWindowReleasesThePort)
{
    startTool();
    window->close();
    window.reset();
    port.reset();
    ops::CommAdapter other(ports);
    other.setCommPort(1);
    EXPECT_TRUE(other.setPortOpen(true));
}

TEST_F(ToolAgainstSim, PortHeldByAnotherProgramIsReportedByTheOpenButton)
{
    startSim({});
    serial::PortDirectory holderPorts(serial::PortMap::fromEnvironment());
    ops::CommAdapter holder(holderPorts);
    holder.setCommPort(1);
    ASSERT_TRUE(holder.setPortOpen(true));
    startWindow(); // COM1 busy at start-up: passed over silently
    EXPECT_FALSE(port->portOpen());
    EXPECT_TRUE(messages.shown.empty());
    click("cmdCom");
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "串口已打开或被占用！");
    EXPECT_EQ(messages.shown[0].title, "出错提示");
    EXPECT_EQ(messages.shown[0].icon, ops::MessageIcon::Exclamation);
    EXPECT_EQ(window->lampInFront(), ops::Lamp::imgNotConnected);
    click("comDoOnce");
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_EQ(messages.shown[1].text, "打开串口出错，请确定串口是否已被占用");
}

TEST_F(ToolAgainstSim, RefusedConnectionIsReportedWithItsCause)
{
    // A loopback port that nothing listens on: the system refuses at once.
    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    const QString device = QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort);
    qputenv("RX904_COM1", device.toLatin1());
    startWindow(); // passed over silently at start-up, like a missing device
    EXPECT_FALSE(port->portOpen());
    EXPECT_TRUE(messages.shown.empty());
    click("cmdCom");
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "串口已打开或被占用！");
    EXPECT_EQ(messages.shown[0].title, "出错提示");
    EXPECT_TRUE(messages.shown[0].informativeText.contains(
        QStringLiteral("串口服务器 127.0.0.1:%1 拒绝了连接").arg(closedPort)))
        << messages.shown[0].informativeText.toStdString();
    EXPECT_EQ(window->lampInFront(), ops::Lamp::imgNotConnected);
    click("comDoOnce");
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_EQ(messages.shown[1].text, "打开串口出错，请确定串口是否已被占用");
}

TEST_F(ToolAgainstSim, DeviceServerDroppingTheConnectionIsAVanishedPortWithoutARequest)
{
    startTool({"--tcp", "127.0.0.1:0"});
    QTemporaryDir folder;
    const QString valueFile = folder.filePath(QStringLiteral("values.csv"));
    app::TrafficMonitor &traffic = window->trafficMonitor();
    ASSERT_EQ(traffic.startValueLog(valueFile), QString());
    click("comDoOnce");
    ASSERT_TRUE(waitForReceived(2));
    sim.signal(SIGKILL);
    // Nothing is sent after this: only the end of the connection can tell. The window counts
    // the port-loss event, and its next request reports the closed port.
    ASSERT_TRUE(waitForReceived(3));
    EXPECT_FALSE(port->portOpen());
    EXPECT_EQ(port->commEvent(), serial::kComEventPortLost);
    runEventsFor(200);
    EXPECT_EQ(text("lblErrCounter"), "3") << "the port-loss event is raised once";
    EXPECT_TRUE(messages.shown.empty());
    // The record and the value file say why the data stop.
    traffic.flush();
    QStringList events;
    for (long long i = traffic.record().firstIndex(); i < traffic.record().endIndex(); ++i) {
        if (traffic.record().at(i).direction == monitor::Direction::Line)
            events << QString::fromStdString(traffic.record().at(i).meaning);
    }
    ASSERT_EQ(events.size(), 2) << events.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(events[0].startsWith(QStringLiteral("打开串口 COM1（tcp://127.0.0.1:")));
    EXPECT_TRUE(events[1].startsWith(QStringLiteral("串口断开：串口服务器 127.0.0.1:")));
    traffic.stopValueLog();
    QFile values(valueFile);
    ASSERT_TRUE(values.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(values.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[2].contains(QStringLiteral(" 串口断开：串口服务器 127.0.0.1:")))
        << lines.join(QLatin1Char('|')).toStdString();
    click("comDoOnce");
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "打开串口出错，请确定串口是否已被占用");
    EXPECT_TRUE(
        messages.shown[0].informativeText.startsWith(QStringLiteral("串口服务器 127.0.0.1:")))
        << messages.shown[0].informativeText.toStdString();
    EXPECT_TRUE(messages.shown[0].informativeText.endsWith(QStringLiteral("关闭了连接")));
    click("comDoOnce");
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_EQ(messages.shown[1].informativeText, QString()) << "the cause is told once";
}

TEST_F(ToolAgainstSim, ARefusedWriteIsNamedAndLightsTheRedLamp)
{
    startTool({"--refuse-write", "0x0A00"});
    click("cmdSet(0)");
    ASSERT_TRUE(waitUntil([&] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown[0].text, "设备拒绝了请求：异常码 04（从站设备故障）");
    EXPECT_EQ(messages.shown[0].title, "RX904工具");
    EXPECT_TRUE(text("txtState").startsWith(" 01 86 04")) << text("txtState").toStdString();
    EXPECT_EQ(window->lampInFront(), ops::Lamp::imgNotConnected);
}

// While polling, a typed value is neither undone by the answers nor lost to them: "设置"
// writes what the user typed.
TEST_F(ToolAgainstSim, ATypedValueSurvivesPollingAndIsTheOneWritten)
{
    startTool({"--register", "3=800"});
    type("txtTimerSet", "100");
    click("cmdOneM");
    ASSERT_TRUE(waitUntil([&] { return value(3) == "800"; }));
    auto *field = control<QLineEdit>("txtValue(3)");
    field->selectAll();
    QTest::keyClicks(field, "900");
    const int received = text("lblErrCounter").toInt();
    ASSERT_TRUE(waitForReceived(received + 2));
    EXPECT_EQ(value(3), "900");
    EXPECT_TRUE(field->font().italic());
    EXPECT_EQ(field->toolTip(), QStringLiteral("尚未写入设备"));
    click("cmdSet(0)");
    EXPECT_FALSE(field->font().italic());
    ASSERT_TRUE(waitUntil([&] { return text("txtState").startsWith(" 01 06 0A 00"); }));
    click("cmdStopOnce");
    // An answer to a poll still on its way lands before the read below.
    runEventsFor(300);
    click("comDoOnce");
    ASSERT_TRUE(waitUntil([&] { return text("txtState").startsWith(" 01 03 1E"); }));
    EXPECT_EQ(value(3), "900") << "the device took the typed value";
}

TEST_F(ToolAgainstSim, PresetsFillFieldsAndSendNothing)
{
    startTool();
    type("txtValue(14)", "5");
    click("cmdDefaultSet(2)");
    EXPECT_EQ(value(3), "140");
    EXPECT_EQ(value(12), "140");
    EXPECT_EQ(value(14), "5");
    EXPECT_EQ(text("txtCommand"), "");
    runEventsFor(200);
    EXPECT_EQ(text("lblErrCounter"), "1");
}

// Collects the addresses the desktop was asked to open, instead of starting a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

TEST_F(ToolAgainstSim, ProductLinksOpenTheRx904PageWithTheDesktopHandler)
{
    startTool();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    QTest::mouseClick(control<QLabel>("Label4"), Qt::LeftButton);
    QTest::mouseClick(control<QLabel>("lblurl"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.opened.size(), 2);
    for (const QUrl &url : catcher.opened)
        EXPECT_EQ(url.path(), "/products/instrument/controller/2016/0414/RX904.html");
    EXPECT_EQ(catcher.opened[0].host(), "www.example.com");
    EXPECT_TRUE(messages.shown.empty());
}

#include "test_tool_against_sim.moc"
