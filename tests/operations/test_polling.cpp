#include "operations/polling.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;

class PollingTest : public OpsFixture
{
protected:
    void SetUp() override
    {
        port.open = true;
        timer.enabled = true;
        timer.intervalMs = 0;
        setText(Field::txtStationID, "1");
        setText(Field::txtDataLength, "15");
        setText(Field::lblCounter, "7");
        setText(Field::lblErrCounter, "5");
        vars.RecCount = 5;
    }
};

struct PeriodCase
{
    const char *text;
    const char *message; // empty: accepted
    int interval;
};

class PeriodTest : public PollingTest, public ::testing::WithParamInterface<PeriodCase>
{
};

TEST_P(PeriodTest, CountersRestartThenThePeriodIsCheckedAndSet)
{
    const auto &c = GetParam();
    setText(Field::txtTimerSet, c.text);
    vars.CommReady = false;
    ops::cmdOneM_Click(window);
    EXPECT_EQ(text(Field::lblCounter), "1");
    EXPECT_EQ(text(Field::lblErrCounter), "1");
    EXPECT_EQ(vars.RecCount, 1);
    if (*c.message) {
        EXPECT_EQ(messages.texts(), QStringList({QString::fromUtf8(c.message)}));
        EXPECT_EQ(messages.shown[0].title, "RX904工具");
        EXPECT_EQ(timer.intervalMs, 0);
        EXPECT_FALSE(vars.CommReady);
    } else {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(timer.intervalMs, c.interval);
        EXPECT_TRUE(timer.enabled);
        EXPECT_TRUE(vars.CommReady);
    }
    EXPECT_TRUE(port.log.isEmpty()); // nothing is sent at the click
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeriodTest,
    ::testing::Values(
        PeriodCase{"", "你输入的定时时长格式有误，应该为数字，值范围为100-60000!", 0},
        PeriodCase{"abc", "你输入的定时时长格式有误，应该为数字，值范围为100-60000!", 0},
        PeriodCase{"49", "你输入的定时时长格式有误，应该为数字，值范围为50-60000!", 0},
        PeriodCase{"49.9", "你输入的定时时长格式有误，应该为数字，值范围为50-60000!", 0},
        PeriodCase{"60001", "你输入的定时时长格式有误，应该为数字，值范围为50-60000!", 0},
        PeriodCase{"-100", "你输入的定时时长格式有误，应该为数字，值范围为50-60000!", 0},
        PeriodCase{"1e300", "你输入的定时时长格式有误，应该为数字，值范围为50-60000!", 0},
        PeriodCase{"50", "", 50}, PeriodCase{"60000", "", 60000}, PeriodCase{"50.5", "", 50},
        PeriodCase{"60000.6", "", 60001}, PeriodCase{"1000", "", 1000},
        PeriodCase{"100.5", "", 100}, PeriodCase{"101.5", "", 102}));

TEST_F(PollingTest, RefusedPeriodWhilePollingKeepsTheOldPeriod)
{
    timer.intervalMs = 200;
    setText(Field::txtTimerSet, "10");
    ops::cmdOneM_Click(window);
    EXPECT_EQ(timer.intervalMs, 200);
    EXPECT_TRUE(timer.enabled);
}

TEST_F(PollingTest, TickRepairsTheCountAndQueriesWhileReady)
{
    vars.CommReady = true;
    setText(Field::txtDataLength, "");
    ops::Timer2_Timer(window);
    EXPECT_EQ(text(Field::txtDataLength), "1");
    EXPECT_EQ(outputs(), QStringList({"01 03 00 00 00 01 84 0A"}));
    EXPECT_EQ(text(Field::lblCounter), "8");
}

TEST_F(PollingTest, TickDoesNothingButRepairsWhenNotReady)
{
    vars.CommReady = false;
    setText(Field::txtDataLength, "x");
    ops::Timer2_Timer(window);
    EXPECT_EQ(text(Field::txtDataLength), "1");
    EXPECT_TRUE(port.log.isEmpty());
    EXPECT_EQ(text(Field::lblCounter), "7");
}

TEST_F(PollingTest, SentCounterAbove65535RestartsBothCounters)
{
    vars.CommReady = true;
    setText(Field::lblCounter, "65536");
    setText(Field::lblErrCounter, "65530");
    vars.RecCount = 65530;
    ops::Timer2_Timer(window);
    EXPECT_EQ(text(Field::lblCounter), "1");
    EXPECT_EQ(text(Field::lblErrCounter), "0");
    EXPECT_EQ(vars.RecCount, 0);
    EXPECT_EQ(outputs().size(), 1);

    setText(Field::lblCounter, "65535");
    ops::Timer2_Timer(window);
    EXPECT_EQ(text(Field::lblCounter), "65536");
}

TEST_F(PollingTest, ClosedPortReportsOnceThenTicksStaySilent)
{
    vars.CommReady = true;
    port.open = false;
    for (int tick = 0; tick < 5; ++tick)
        ops::Timer2_Timer(window);
    EXPECT_EQ(messages.shown.size(), 1U);
    EXPECT_FALSE(vars.CommReady);
    EXPECT_EQ(text(Field::lblCounter), "8");
}

TEST_F(PollingTest, StopOnlyDisablesTheTimer)
{
    vars.CommReady = true;
    vars.CmdType = 1;
    port.rThresholdValue = 35;
    ops::cmdStopOnce_Click(window);
    EXPECT_FALSE(timer.enabled);
    EXPECT_TRUE(vars.CommReady);
    EXPECT_EQ(vars.CmdType, 1);
    EXPECT_EQ(port.rThresholdValue, 35);
    EXPECT_EQ(text(Field::lblCounter), "7");
    EXPECT_TRUE(port.log.isEmpty());
}
