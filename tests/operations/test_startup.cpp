#include "operations/startup.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;

class StartupTest : public OpsFixture
{
};

TEST_F(StartupTest, ConfiguresThePortInOrderAndOpensCom1At9600)
{
    ops::Form_Load(window);
    const QStringList expected{
        // 9600 chosen in the speed list: the port is still closed
        "Settings=9600,N,8,1",
        // the control configured on a closed port
        "CommPort=1", "InputMode=1", "InputLen=0", "InBufferCount=0", "OutBufferCount=0",
        "SThreshold=0", "RThreshold=1", "InputMode=1", "Settings=9600,N,8,1",
        // COM1 chosen in the port list
        "CommPort=1", "Settings=9600,N,8,1", "PortOpen=true", "RThreshold=1", "InputMode=1"};
    EXPECT_EQ(port.log, expected);
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupTest, LeavesTheStartStateWithTheRedLampSeen)
{
    ops::Form_Load(window);
    EXPECT_EQ(form.combo2, QStringList({"2400", "4800", "9600", "19200", "38400"}));
    EXPECT_EQ(form.combo2Index, 2);
    EXPECT_EQ(form.combo1Index, 0);
    EXPECT_EQ(text(Field::txtStationID), "1");
    EXPECT_EQ(text(Field::txtDataLength), "15");
    EXPECT_EQ(text(Field::lblCounter), "1");
    EXPECT_EQ(text(Field::lblErrCounter), "1");
    EXPECT_EQ(vars.CommNum, 1);
    EXPECT_EQ(vars.CommRate, 9600);
    EXPECT_EQ(vars.RecCount, 1);
    EXPECT_EQ(vars.CmdType, 0);
    EXPECT_TRUE(vars.CommReady);
    EXPECT_TRUE(form.lampsShown.empty());
}

TEST_F(StartupTest, MissingCom1IsPassedOverSilently)
{
    port.missingPorts = {1};
    ops::Form_Load(window);
    EXPECT_FALSE(port.open);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(vars.CommReady);
    EXPECT_EQ(text(Field::lblCounter), "1");
    EXPECT_TRUE(form.lampsShown.empty());
}
