#include "operations/address_operations.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;
using ops::Lamp;

class AddressTest : public OpsFixture
{
protected:
    void SetUp() override { port.open = true; }
};

TEST_F(AddressTest, ReadGoesToStation250WhateverTheFieldsHold)
{
    setText(Field::txtStationID, "abc");
    setText(Field::txtSetID0, "");
    ops::cmdReadAdd_Click(window);
    EXPECT_EQ(port.log, QStringList({"InBufferCount=0", "InputLen=0", "InputMode=1", "RThreshold=0",
                                     "RThreshold=7", "Output=FA 03 00 00 00 01 91 81"}));
    EXPECT_EQ(text(Field::txtCommand), "FA 03 00 00 00 01 91 81 ");
    EXPECT_EQ(vars.CmdType, 6);
    EXPECT_EQ(vars.RecLength, 7);
    EXPECT_EQ(form.lampInFront, Lamp::imgConnected);
}

TEST_F(AddressTest, ReadOnAClosedPortShowsTheFrameAndRed)
{
    port.open = false;
    ops::cmdReadAdd_Click(window);
    EXPECT_EQ(text(Field::txtCommand), "FA 03 00 00 00 01 91 81 ");
    EXPECT_EQ(form.lampInFront, Lamp::imgNotConnected);
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(messages.shown.empty());
}

struct ChangeCase
{
    const char *source;
    const char *target;
    const char *message;
    const char *frame;
};

class AddressChangeTest : public AddressTest, public ::testing::WithParamInterface<ChangeCase>
{
};

TEST_P(AddressChangeTest, ChecksInOrderThenWritesRegister0x0B00)
{
    const auto &c = GetParam();
    setText(Field::txtSetID0, c.source);
    setText(Field::txtSetID1, c.target);
    ops::cmdChangeID_Click(window);
    if (*c.message) {
        EXPECT_EQ(messages.texts(), QStringList({QString::fromUtf8(c.message)}));
        EXPECT_TRUE(port.log.isEmpty());
        EXPECT_EQ(vars.CmdType, 0);
    } else {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(lastOutput(), c.frame);
        EXPECT_EQ(port.log,
                  QStringList({"InBufferCount=0", "InputLen=0", "InputMode=1", "RThreshold=0",
                               "RThreshold=8", QStringLiteral("Output=") + c.frame}));
        EXPECT_EQ(vars.CmdType, 5);
        EXPECT_EQ(vars.RecLength, 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressChangeTest,
    ::testing::Values(ChangeCase{"1", "2", "", "01 06 0B 00 00 02 0A 2F"},
                      ChangeCase{"abc", "xyz", "你输入的原设备地址格式有误!", ""},
                      ChangeCase{"", "2", "你输入的原设备地址格式有误!", ""},
                      ChangeCase{"1", "", "你输入的目标设备地址格式有误!", ""},
                      ChangeCase{"1", "0", "请指定正确的设备地址，正确值范围为1-250", ""},
                      ChangeCase{"1", "0.5", "请指定正确的设备地址，正确值范围为1-250", ""},
                      ChangeCase{"0", "300", "请指定正确的设备地址，正确值范围为1-250", ""},
                      ChangeCase{"1", "251", "请指定正确的设备地址，正确值范围为1-250!", ""},
                      ChangeCase{"1", "250.9", "", "01 06 0B 00 00 FA 0B AD"},
                      ChangeCase{"250", "3", "", "FA 06 0B 00 00 03 DE 64"},
                      ChangeCase{"255", "3", "", "FF 06 0B 00 00 03 DE 31"},
                      ChangeCase{"256", "3", "你输入的原设备地址格式有误!", ""},
                      ChangeCase{"-1", "3", "你输入的原设备地址格式有误!", ""},
                      ChangeCase{"1", "-1", "你输入的目标设备地址格式有误!", ""},
                      ChangeCase{"-0.5", "3", "你输入的原设备地址格式有误!", ""}));

TEST_F(AddressTest, FullFramesCarryTheirCrc)
{
    setText(Field::txtSetID0, "1");
    setText(Field::txtSetID1, "250.9");
    ops::cmdChangeID_Click(window);
    EXPECT_EQ(lastOutput().size(), 23);
}
