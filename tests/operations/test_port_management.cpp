#include "operations/messages.h"
#include "operations/port_management.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;
using ops::Lamp;

class PortManagementTest : public OpsFixture
{
protected:
    void SetUp() override { vars.CommRate = 9600; }
};

TEST_F(PortManagementTest, ChoosingAPortClosesTheOpenOneAndOpensTheChosen)
{
    port.open = true;
    form.combo1Index = 2;
    ops::Combo1_Click(window);
    EXPECT_EQ(port.log, QStringList({"PortOpen=false", "CommPort=3", "Settings=9600,N,8,1",
                                     "PortOpen=true", "RThreshold=1", "InputMode=1"}));
    EXPECT_TRUE(port.open);
    EXPECT_EQ(vars.CommNum, 3);
    EXPECT_TRUE(vars.CommReady);
    EXPECT_TRUE(form.lampsShown.empty());
}

TEST_F(PortManagementTest, MissingPortIsPassedOverAndStillArmsAndSetsReady)
{
    port.missingPorts = {7};
    form.combo1Index = 6;
    ops::Combo1_Click(window);
    EXPECT_FALSE(port.open);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(vars.CommReady);
    EXPECT_EQ(port.log.mid(port.log.size() - 2), QStringList({"RThreshold=1", "InputMode=1"}));
}

TEST_F(PortManagementTest, NoEntrySelectedAsksForAPort)
{
    port.open = true;
    form.combo1Index = -1;
    ops::Combo1_Click(window);
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "请选择端口");
    EXPECT_EQ(messages.shown[0].title, "RX904工具");
    EXPECT_EQ(messages.shown[0].icon, ops::MessageIcon::None);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(port.log, QStringList({"PortOpen=false"}));
}

TEST_F(PortManagementTest, SpeedChoiceReopensAnOpenPortAndOnlyAppliesToAClosedOne)
{
    form.texts[Field::Combo2] = "19200";
    port.open = true;
    ops::Combo2_Click(window);
    EXPECT_EQ(vars.CommRate, 19200);
    EXPECT_EQ(port.log, QStringList({"PortOpen=false", "Settings=19200,N,8,1", "PortOpen=true"}));
    EXPECT_TRUE(port.open);

    port.log.clear();
    port.open = false;
    form.texts[Field::Combo2] = "38400";
    ops::Combo2_Click(window);
    EXPECT_EQ(port.log, QStringList({"Settings=38400,N,8,1"}));
    EXPECT_FALSE(port.open);
    EXPECT_TRUE(form.lampsShown.empty());
}

TEST_F(PortManagementTest, SpeedChoiceThatCannotReopenLeavesThePortClosedSilently)
{
    port.open = true;
    port.missingPorts = {1};
    form.texts[Field::Combo2] = "4800";
    ops::Combo2_Click(window);
    EXPECT_FALSE(port.open);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(vars.CommRate, 4800);
}

struct OpenCase
{
    const char *name;
    bool wasOpen;
    bool missing;
    QStringList log;
    Lamp lamp;
    bool openAfter;
    bool message;
};

class OpenButtonTest : public PortManagementTest, public ::testing::WithParamInterface<OpenCase>
{
};

TEST_P(OpenButtonTest, OpensOrReportsWithTheLamps)
{
    const auto &c = GetParam();
    port.open = c.wasOpen;
    if (c.missing) {
        port.missingPorts = {1};
        port.failureCause = QStringLiteral("COM1 当前没有对应的串口设备。");
    }
    ops::cmdCom_Click(window);
    EXPECT_EQ(port.log, c.log);
    EXPECT_EQ(form.lampInFront, c.lamp);
    EXPECT_EQ(port.open, c.openAfter);
    if (c.message) {
        ASSERT_EQ(messages.shown.size(), 1U);
        EXPECT_EQ(messages.shown[0].text, "串口已打开或被占用！");
        EXPECT_EQ(messages.shown[0].title, "出错提示");
        EXPECT_EQ(messages.shown[0].icon, ops::MessageIcon::Exclamation);
        EXPECT_EQ(messages.shown[0].informativeText, port.failureCause);
    } else {
        EXPECT_TRUE(messages.shown.empty());
    }
    EXPECT_FALSE(vars.CommReady); // the open button never changes it
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenButtonTest,
                         ::testing::Values(OpenCase{"closed",
                                                    false,
                                                    false,
                                                    {"Settings=9600,N,8,1", "PortOpen=true"},
                                                    Lamp::imgConnected,
                                                    true,
                                                    false},
                                           OpenCase{"open",
                                                    true,
                                                    false,
                                                    {"PortOpen=false", "PortOpen=true"},
                                                    Lamp::imgConnected,
                                                    true,
                                                    false},
                                           OpenCase{"closedBusy",
                                                    false,
                                                    true,
                                                    {"Settings=9600,N,8,1", "PortOpen=true"},
                                                    Lamp::imgNotConnected,
                                                    false,
                                                    true},
                                           OpenCase{"openThenBusy",
                                                    true,
                                                    true,
                                                    {"PortOpen=false", "PortOpen=true"},
                                                    Lamp::imgNotConnected,
                                                    false,
                                                    true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PortManagementTest, CloseShowsRedAndClosesOnlyAnOpenPort)
{
    ops::Command1_Click(window);
    EXPECT_EQ(port.log, QStringList());
    EXPECT_EQ(form.lampInFront, Lamp::imgNotConnected);
    port.open = true;
    port.log.clear();
    ops::Command1_Click(window);
    EXPECT_EQ(port.log, QStringList({"PortOpen=false"}));
    EXPECT_TRUE(messages.shown.empty());
}
