#include "operations/parameter_write.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;
using ops::Lamp;

class ParameterWriteTest : public OpsFixture
{
protected:
    void SetUp() override
    {
        port.open = true;
        setText(Field::txtStationID, "2");
    }
    void write(int index, const char *value)
    {
        setText(ops::valueField(index + 3), QString::fromUtf8(value));
        ops::cmdSet_Click(window, index);
    }
};

TEST_F(ParameterWriteTest, BaudRateExampleInPortOrder)
{
    setText(Field::txtState, " 01");
    write(5, "9600");
    EXPECT_EQ(port.log, QStringList({"InBufferCount=0", "InputLen=0", "InputMode=1", "RThreshold=0",
                                     "RThreshold=8", "Output=02 06 0A 0A 25 80 B1 13"}));
    EXPECT_EQ(text(Field::txtCommand), "02 06 0A 0A 25 80 B1 13 ");
    EXPECT_EQ(text(Field::txtState), "");
    EXPECT_EQ(vars.CmdType, 6);
    EXPECT_EQ(vars.RecLength, 8);
    EXPECT_EQ(form.lampInFront, Lamp::imgConnected);
}

struct WriteCase
{
    int index;
    const char *value;
    const char *message;   // empty: sent
    const char *wireBytes; // bytes 2..5 when sent
};

class WriteValueTest : public ParameterWriteTest, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(WriteValueTest, EncodesOrRefuses)
{
    const auto &c = GetParam();
    write(c.index, c.value);
    if (*c.message) {
        EXPECT_EQ(messages.texts(), QStringList({QString::fromUtf8(c.message)}));
        EXPECT_EQ(messages.shown[0].title, "RX904工具");
        EXPECT_TRUE(port.log.isEmpty());
        EXPECT_EQ(vars.CmdType, 0);
    } else {
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_EQ(outputs().size(), 1);
        EXPECT_EQ(lastOutput().mid(6, 11), c.wireBytes) << c.index << " " << c.value;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteValueTest,
    ::testing::Values(
        WriteCase{0, "", "你输入的值有误，请输入0-9的数据，不能含字母！", ""},
        WriteCase{0, "abc", "你输入的值有误，请输入0-9的数据，不能含字母！", ""},
        WriteCase{3, "-99", "", "0A 06 FF 9D"}, WriteCase{3, "-1", "", "0A 06 FF FF"},
        WriteCase{0, "2.5", "", "0A 00 00 02"}, WriteCase{0, "3.5", "", "0A 00 00 04"},
        WriteCase{0, "800", "", "0A 00 03 20"}, WriteCase{2, "-32768", "", "0A 04 80 00"},
        WriteCase{4, "3", "你输入的值有误，正确的值范围为0-2!", ""},
        WriteCase{4, "2.4", "你输入的值有误，正确的值范围为0-2!", ""},
        WriteCase{4, "2.5", "你输入的值有误，正确的值范围为0-2!", ""},
        WriteCase{4, "-1", "你输入的值有误，正确的值范围为0-2!", ""},
        WriteCase{4, "2", "", "0A 08 00 02"}, WriteCase{4, "1", "", "0A 08 00 01"},
        WriteCase{4, "0", "", "0A 08 00 00"}, WriteCase{4, "-0.4", "", "0A 08 00 00"},
        WriteCase{5, "38400", "", "0A 0A 96 00"},
        WriteCase{5, "9601", "你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!", ""},
        WriteCase{5, "1200", "你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!", ""},
        WriteCase{6, "7", "", "0A 0C 00 07"}, WriteCase{11, "5", "", "0A 16 00 05"},
        WriteCase{9, "65535", "", "0A 12 FF FF"},
        WriteCase{9, "65536", "你输入的值有误，正确的值范围为0-65535!", ""},
        WriteCase{7, "70000", "你输入的值有误，正确的值范围为0-65535!", ""},
        WriteCase{7, "-1", "你输入的值有误，正确的值范围为0-65535!", ""},
        WriteCase{0, "-70000", "你输入的值有误，正确的值范围为-65536到65535!", ""},
        WriteCase{0, "70000", "你输入的值有误，正确的值范围为-65536到65535!", ""},
        WriteCase{10, "1e39", "你输入的值有误，正确的值范围为0-65535!", ""}));

TEST_F(ParameterWriteTest, StationMustBeANumberThatFitsAByte)
{
    for (const char *station : {"", "abc", "256", "-1", "300", "255.5"}) {
        messages.shown.clear();
        setText(Field::txtStationID, station);
        write(0, "1");
        EXPECT_EQ(messages.texts(), QStringList({"你输入的设备地址格式有误!"})) << station;
    }
    EXPECT_TRUE(port.log.isEmpty());
    setText(Field::txtStationID, "2.5");
    write(0, "1");
    EXPECT_TRUE(lastOutput().startsWith("02 06 0A 00 00 01"));
}

TEST_F(ParameterWriteTest, ClosedPortShowsTheFrameAndTheRedLamp)
{
    port.open = false;
    write(1, "5");
    EXPECT_EQ(text(Field::txtCommand).size(), 24);
    EXPECT_TRUE(text(Field::txtCommand).startsWith("02 06 0A 02 00 05"));
    EXPECT_EQ(form.lampInFront, Lamp::imgNotConnected);
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_FALSE(port.log.join(',').contains("Output"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(vars.CmdType, 6);
}
