// MSComm1 over a fake transport: bytes in any pieces, a line lost at any moment, and the line
// lent to another part of the tool.
#include "operations/comm_adapter.h"
#include "pty_pair.h"
#include "serial/fake_transport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using serial_test::pumpRounds;
using serial_test::pumpUntil;

class CommAdapterOnFake : public ::testing::Test
{
protected:
    void SetUp() override
    {
        map.set(1, QStringLiteral("/dev/fake"), serial::PortOrigin::Environment);
        ports = serial::PortDirectory(map);
        QObject::connect(&control, &ops::CommControl::OnComm,
                         [this] { events.push_back(control.commEvent()); });
        control.setCommPort(1);
        control.setSettings(QStringLiteral("9600,N,8,1"));
        ASSERT_TRUE(control.setPortOpen(true));
        ASSERT_NE(line, nullptr);
    }

    serial::PortMap map;
    serial::PortDirectory ports;
    serial::FakeTransport *line = nullptr;
    ops::CommAdapter control{ports, [this](const QString &device) {
                                 auto made = std::make_unique<serial::FakeTransport>(device);
                                 line = made.get();
                                 return made;
                             }};
    std::vector<int> events;
};

// A 35-byte answer split anywhere raises one receive event, once its last byte is in.
TEST_F(CommAdapterOnFake, AnAnswerInTwoPiecesRaisesOneEventAtItsEnd)
{
    QByteArray answer(35, '\0');
    for (int i = 0; i < answer.size(); ++i)
        answer[i] = static_cast<char>(i * 7);
    for (int split = 1; split < answer.size(); ++split) {
        SCOPED_TRACE(split);
        events.clear();
        control.setInBufferCount(0);
        control.setRThreshold(35);
        line->deliver(answer.left(split));
        pumpRounds(2);
        EXPECT_TRUE(events.empty());
        line->deliver(answer.mid(split));
        ASSERT_TRUE(pumpUntil([&] { return !events.empty(); }));
        EXPECT_EQ(events, std::vector<int>{serial::kComEvReceive});
        EXPECT_EQ(control.input(), answer);
    }
}

TEST_F(CommAdapterOnFake, WhileLentTheControlSeesNothingAndIsAsItWasAfter)
{
    control.setRThreshold(1);
    line->deliver(QByteArrayLiteral("kept"));
    ASSERT_TRUE(pumpUntil([&] { return control.inBufferCount() == 4; }));
    events.clear();

    serial::Transport *lent = control.lend();
    ASSERT_EQ(lent, line);
    EXPECT_EQ(control.lend(), nullptr) << "lent twice";
    QSignalSpy theirs(lent, &serial::Transport::received);
    serial::LineSettings fast;
    fast.baudRate = 38400;
    lent->setLine(fast);
    line->deliver(QByteArrayLiteral("theirs"));
    ASSERT_TRUE(pumpUntil([&] { return theirs.count() == 1; }));
    control.setOutput(QByteArrayLiteral("not now"));
    control.setSettings(QStringLiteral("4800,N,8,1"));
    EXPECT_TRUE(line->written.isEmpty());
    EXPECT_EQ(line->line()->baudRate, 38400);
    EXPECT_TRUE(events.empty());

    const int discards = line->inputDiscards;
    control.giveBack();
    EXPECT_EQ(control.inBufferCount(), 4);
    EXPECT_EQ(control.rThreshold(), 1);
    EXPECT_EQ(line->line()->baudRate, 4800) << "the control's own settings apply again";
    EXPECT_GT(line->inputDiscards, discards) << "what the holder left in the system goes";
    EXPECT_EQ(control.input(), QByteArrayLiteral("kept"));
}

TEST_F(CommAdapterOnFake, ALineLostWhileLentIsTheHoldersAndTheControlFindsItClosed)
{
    serial::Transport *lent = control.lend();
    ASSERT_NE(lent, nullptr);
    QSignalSpy lost(lent, &serial::Transport::lost);
    line->loseLine(QStringLiteral("设备 /dev/fake 已断开"));
    ASSERT_TRUE(pumpUntil([&] { return lost.count() == 1; }));
    EXPECT_EQ(lost.at(0).at(0).toString(), QStringLiteral("设备 /dev/fake 已断开"));
    control.giveBack();
    pumpRounds(2);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(control.portOpen());
}

TEST_F(CommAdapterOnFake, ALostLineIsOneEventAndTheNextOpenMakesANewTransport)
{
    serial::FakeTransport *first = line;
    line->loseLine();
    ASSERT_TRUE(pumpUntil([&] { return !events.empty(); }));
    pumpRounds(2);
    EXPECT_EQ(events, std::vector<int>{serial::kComEventPortLost});
    EXPECT_FALSE(control.portOpen());
    ASSERT_TRUE(control.setPortOpen(true));
    EXPECT_NE(line, first);
    EXPECT_EQ(line->line()->baudRate, 9600);
}

} // namespace
