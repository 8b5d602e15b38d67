#include "operations/device_information.h"
#include "operations/presets.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;
using ops::Lamp;

class DeviceInformationTest : public OpsFixture
{
};

TEST_F(DeviceInformationTest, RequestForStationOneInPortOrder)
{
    port.open = true;
    setText(Field::txtStationID, "1");
    setText(Field::txtFunID, "garbage");
    setText(Field::txtDataLength, "");
    ops::Command2_Click(window);
    EXPECT_EQ(port.log, QStringList({"InBufferCount=0", "InputLen=0", "InputMode=1", "RThreshold=0",
                                     "RThreshold=16", "Output=01 26 00 00 00 05 C8 0E"}));
    EXPECT_EQ(text(Field::txtCommand), "01 26 00 00 00 05 C8 0E ");
    EXPECT_EQ(vars.CmdType, 7);
    EXPECT_EQ(form.lampInFront, Lamp::imgConnected);
    EXPECT_EQ(text(Field::lblCounter), "0");
}

TEST_F(DeviceInformationTest, ClosedPortStillShowsTheTextAndKeepsTheArming)
{
    setText(Field::txtStationID, "2");
    setText(Field::txtState, " 01");
    ops::Command2_Click(window);
    EXPECT_EQ(text(Field::txtCommand), "02 26 00 00 00 05 C8 3D ");
    EXPECT_EQ(text(Field::txtState), "");
    EXPECT_EQ(form.lampInFront, Lamp::imgNotConnected);
    EXPECT_EQ(port.rThresholdValue, 16);
    EXPECT_TRUE(port.written.isEmpty());
}

TEST_F(DeviceInformationTest, StationThatIsNoByteIsRefused)
{
    for (const char *station : {"", "x", "256", "-1", "1e309"}) {
        messages.shown.clear();
        setText(Field::txtStationID, station);
        ops::Command2_Click(window);
        EXPECT_EQ(messages.texts(), QStringList({"你输入的设备地址格式有误!"})) << station;
    }
    EXPECT_TRUE(port.log.isEmpty());
}

TEST(Presets, FillElevenFieldsAndLeaveTheRest)
{
    FakeForm form;
    form.texts[ops::valueField(14)] = "5";
    form.texts[ops::valueField(0)] = "1.0";
    ops::cmdDefaultSet_Click(form, 1);
    ops::cmdDefaultSet_Click(form, 0);
    const QStringList expected{"800", "0", "0", "0", "1", "9600", "1", "50000", "0", "1000", "0"};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(form.text(ops::valueField(3 + i)), expected[i]) << i;
    ops::cmdDefaultSet_Click(form, 2);
    EXPECT_EQ(form.text(ops::valueField(3)), "140");
    EXPECT_EQ(form.text(ops::valueField(12)), "140");
    EXPECT_EQ(form.text(ops::valueField(14)), "5");
    EXPECT_EQ(form.text(ops::valueField(0)), "1.0");
    const auto before = form.texts;
    ops::cmdDefaultSet_Click(form, 3);
    EXPECT_EQ(form.texts, before);
}
