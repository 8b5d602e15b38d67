#include "tool_fixture.h"

#include <QEventLoop>
#include <QTimer>

using namespace e2e;

namespace {

// A message box that stays open for a while and runs the event loop meanwhile, as the
// modal QMessageBox does, recording what the window showed while it was open.
class LingeringMessageBox : public ops::MessageBox
{
public:
    explicit LingeringMessageBox(int openMs) : m_openMs(openMs) {}

    int shown = 0;
    int depth = 0;
    int deepest = 0;
    std::function<void()> whileOpen;

    void show(const QString &, const QString &, ops::MessageIcon) override
    {
        ++shown;
        deepest = std::max(deepest, ++depth);
        QEventLoop loop;
        QTimer::singleShot(m_openMs, &loop, &QEventLoop::quit);
        loop.exec();
        if (whileOpen)
            whileOpen();
        --depth;
    }

private:
    int m_openMs;
};

} // namespace

class HandlerGateTest : public ToolFixture
{
};

TEST_F(HandlerGateTest, TicksDuringAnOpenMessageBoxAreDroppedNotStacked)
{
    LingeringMessageBox box(300);
    startSim({});
    startWindow(&box);
    type("txtStationID", "abc");
    type("txtTimerSet", "50");
    click("cmdOneM");
    runEventsFor(1000);
    click("cmdStopOnce");
    // about one box per 350 ms, one at a time; every tick meanwhile dropped
    EXPECT_EQ(box.deepest, 1);
    EXPECT_GE(box.shown, 2);
    EXPECT_LE(box.shown, 4);
    EXPECT_EQ(text("lblCounter"), "1");
}

TEST_F(HandlerGateTest, AnswerArrivingWhileABoxIsOpenIsHandledAfterTheHandlerReturns)
{
    LingeringMessageBox box(400);
    startSim({"--fault", "late=100"});
    startWindow(&box);
    QString counterWhileOpen;
    box.whileOpen = [&] { counterWhileOpen = text("lblErrCounter"); };

    click("comDoOnce");                  // answered 100 ms later
    type("txtSetID(0)", "not a number"); // the address change refuses it with a box
    click("cmdChangeID");
    EXPECT_EQ(box.shown, 1);
    EXPECT_EQ(counterWhileOpen, "1"); // the answer came during the box but waited
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(value(3), "800");
    EXPECT_EQ(text("lblErrCounter"), "2");
}
