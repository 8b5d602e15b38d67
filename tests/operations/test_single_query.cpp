#include "operations/single_query.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;
using ops::Lamp;

class SingleQueryTest : public OpsFixture
{
protected:
    void SetUp() override
    {
        port.open = true;
        setText(Field::txtStationID, "1");
        setText(Field::txtDataLength, "15");
        setText(Field::lblCounter, "1");
        setText(Field::lblErrCounter, "1");
    }
};

TEST_F(SingleQueryTest, StartUpDefaultsSendTheFifteenRegisterRead)
{
    setText(Field::txtState, " 99");
    ops::comDoOnce_Click(window);
    EXPECT_EQ(port.log, QStringList({"InBufferCount=0", "InputLen=0", "InputMode=1", "RThreshold=0",
                                     "RThreshold=35", "Output=01 03 00 00 00 0F 05 CE"}));
    EXPECT_EQ(text(Field::txtCommand), "01 03 00 00 00 0F 05 CE ");
    EXPECT_EQ(vars.SendText, "01 03 00 00 00 0F 05 CE ");
    EXPECT_EQ(text(Field::txtState), "");
    EXPECT_EQ(text(Field::lblCounter), "2");
    EXPECT_EQ(vars.RecLength, 35);
    EXPECT_EQ(vars.CmdType, 1);
    EXPECT_EQ(vars.HiByte, 0x05);
    EXPECT_EQ(vars.LoByte, 0xCE);
    EXPECT_EQ(form.lampInFront, Lamp::ImgYellow);
    EXPECT_TRUE(messages.shown.empty());
}

struct FieldCase
{
    const char *station;
    const char *function;
    const char *start;
    const char *count;
    const char *message;    // empty: sent
    const char *frameStart; // bytes 0..5 when sent
};

class QueryFieldsTest : public SingleQueryTest, public ::testing::WithParamInterface<FieldCase>
{
};

TEST_P(QueryFieldsTest, ChecksInOrderAndSendsTheBytesAsRead)
{
    const auto &c = GetParam();
    setText(Field::txtStationID, c.station);
    setText(Field::txtFunID, c.function);
    setText(Field::txtStartID, c.start);
    setText(Field::txtDataLength, c.count);
    setText(Field::txtState, " 55");
    ops::comDoOnce_Click(window);
    if (*c.message) {
        EXPECT_EQ(messages.texts(), QStringList({QString::fromUtf8(c.message)}));
        EXPECT_EQ(messages.shown[0].title, "RX904工具");
        EXPECT_TRUE(outputs().isEmpty());
        EXPECT_EQ(text(Field::lblCounter), "1");
        EXPECT_EQ(text(Field::txtState), " 55");
        EXPECT_TRUE(port.log.isEmpty());
    } else {
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_EQ(outputs().size(), 1);
        EXPECT_TRUE(lastOutput().startsWith(c.frameStart)) << lastOutput().toStdString();
        EXPECT_EQ(text(Field::lblCounter), "2");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueryFieldsTest,
    ::testing::Values(
        FieldCase{"", "x", "x", "x", "你输入的设备地址格式有误!", ""},
        FieldCase{"1", "", "x", "x", "你输入的功能码格式有误!", ""},
        FieldCase{"1", "3", "x", "x", "你输入的数据长度格式有误!", ""},
        FieldCase{"1", "3", "x", "16", "你输入的起始地址格式有误!", ""},
        FieldCase{"1", "3", "0", "16", "你输入的数据长度格式有误,正确的值应该为1-15!", ""},
        FieldCase{"1", "3", "0", "0", "你输入的数据长度格式有误,正确的值应该为1-15!", ""},
        FieldCase{"1", "3", "0", "-3", "你输入的数据长度格式有误,正确的值应该为1-15!", ""},
        FieldCase{"1", "3", "0", "0.9", "你输入的数据长度格式有误,正确的值应该为1-15!", ""},
        FieldCase{"1", "3", "0", "15.9", "", "01 03 00 00 00 0F"},
        FieldCase{"3.5", "3.5", "2.7", "1", "", "03 04 00 02 00 01"},
        FieldCase{"0", "3", "0", "1", "", "00 03 00 00 00 01"},
        FieldCase{"255", "2.5", "255", "1", "", "FF 02 00 FF 00 01"},
        // bytes that do not fit are refused with the field's message, never sent as 0
        FieldCase{"300", "3", "0", "15", "你输入的设备地址格式有误!", ""},
        FieldCase{"-1", "3", "0", "15", "你输入的设备地址格式有误!", ""},
        FieldCase{"-0.5", "3", "0", "15", "你输入的设备地址格式有误!", ""},
        FieldCase{"1", "256", "0", "15", "你输入的功能码格式有误!", ""},
        FieldCase{"1", "-1", "0", "15", "你输入的功能码格式有误!", ""},
        FieldCase{"1", "3", "256", "15", "你输入的起始地址格式有误!", ""},
        FieldCase{"1", "3", "-1", "15", "你输入的起始地址格式有误!", ""},
        FieldCase{"1e3", "3", "0", "15", "你输入的设备地址格式有误!", ""},
        FieldCase{"inf", "3", "0", "15", "你输入的设备地址格式有误!", ""},
        FieldCase{"0x10", "3", "0", "15", "你输入的设备地址格式有误!", ""}));

TEST_F(SingleQueryTest, ClosedPortCountsReportsAndStopsPolling)
{
    port.open = false;
    vars.CommReady = true;
    vars.CmdType = 6;
    vars.RecLength = 8;
    setText(Field::txtCommand, "old");
    setText(Field::txtState, " 01");
    ops::comDoOnce_Click(window);
    EXPECT_EQ(messages.texts(), QStringList({"打开串口出错，请确定串口是否已被占用"}));
    EXPECT_EQ(form.lampInFront, Lamp::imgNotConnected);
    EXPECT_FALSE(vars.CommReady);
    EXPECT_EQ(text(Field::lblCounter), "2");
    EXPECT_EQ(text(Field::txtState), "");
    EXPECT_EQ(text(Field::txtCommand), "old");
    EXPECT_EQ(vars.CmdType, 6);
    EXPECT_EQ(vars.RecLength, 8);
    EXPECT_EQ(port.log, QStringList());
}

TEST_F(SingleQueryTest, SendsEvenWhenTheReceivedCounterIsAhead)
{
    setText(Field::lblErrCounter, "9");
    ops::comDoOnce_Click(window);
    EXPECT_EQ(text(Field::lblCounter), "2");
    EXPECT_EQ(outputs(), QStringList({"01 03 00 00 00 0F 05 CE"}));
}

TEST_F(SingleQueryTest, SecondPressReplacesTheArming)
{
    ops::comDoOnce_Click(window);
    port.inBuffer = QByteArray("\x01\x03\x1E", 3);
    setText(Field::txtDataLength, "2");
    ops::comDoOnce_Click(window);
    EXPECT_TRUE(port.inBuffer.isEmpty());
    EXPECT_EQ(port.rThresholdValue, 9);
    EXPECT_EQ(outputs().size(), 2);
    EXPECT_EQ(text(Field::lblCounter), "3");
}
