// A minute of random garbage at full line speed while the window polls every 50 ms: the
// tool keeps running, stays responsive, puts only the operator's query on the line, and its
// memory stays bounded. Run by scripts/reliability-checks.sh in a build without sanitizers,
// whose allocator does not hold freed memory back the way AddressSanitizer's does.
// RX904_SOAK_SECONDS shortens or lengthens the flood (default 60).
#include "line_fault_fixture.h"
#include "monitor/history.h"

#include <QDeadlineTimer>

using namespace e2e;
using reliability::LineFaultFixture;
using reliability::report;
using reliability::statusKb;

namespace {

// The bound on how far the peak resident memory may rise during the flood: the window's own
// 5 MB, and the traffic monitor's record, which keeps the flood's bytes up to its bound and
// as much again for the rows holding them.
constexpr long kPeakRiseLimitKb =
    5 * 1024 + 2 * static_cast<long>(monitor::kRecordByteCapacity / 1024);

int floodSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("RX904_SOAK_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 60;
}

} // namespace

class Soak : public LineFaultFixture
{
};

TEST_F(Soak, GarbageFloodWhilePollingKeepsMemoryBounded)
{
    startWithLog({"--fault", "garbage"});
    const QStringList before = values();
    type("txtTimerSet", "50");
    const long rssBefore = statusKb("VmRSS");
    const long peakBefore = statusKb("VmHWM");
    ASSERT_GT(peakBefore, 0) << "no /proc/self/status";
    click("cmdOneM");

    const int seconds = floodSeconds();
    long peakAfterFirstSecond = 0;
    QDeadlineTimer flood(seconds * 1000);
    QDeadlineTimer firstSecond(1000);
    int lastSent = 0;
    bool sentKeptRising = true;
    QDeadlineTimer nextLook(5000);
    while (!flood.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (peakAfterFirstSecond == 0 && firstSecond.hasExpired())
            peakAfterFirstSecond = statusKb("VmHWM");
        if (nextLook.hasExpired()) {
            // Polling goes on under the flood: the sent counter rises between looks.
            const int sent = text("lblCounter").toInt();
            sentKeptRising = sentKeptRising && sent != lastSent;
            lastSent = sent;
            nextLook.setRemainingTime(5000);
        }
    }
    click("cmdStopOnce");
    runEventsFor(200);
    const long peakAfter = statusKb("VmHWM");
    const long rssAfter = statusKb("VmRSS");
    const int sent = text("lblCounter").toInt();
    const int received = text("lblErrCounter").toInt();

    EXPECT_TRUE(sentKeptRising) << "polling stalled under the flood";
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(port->portOpen());
    EXPECT_LE(text("txtState").size(), 3 * 4096);
    for (int k = 0; k < 15; ++k)
        EXPECT_TRUE(value(k) == before[k] || reliability::displayable(k, value(k)))
            << k << ": " << value(k).toStdString();
    EXPECT_LT(peakAfter - peakBefore, kPeakRiseLimitKb)
        << "peak RSS rose from " << peakBefore << " kB to " << peakAfter << " kB";
    expectResponsive();
    const QStringList requests = loggedEvents("request");
    EXPECT_EQ(requests.size(), sent - 1);
    for (const QString &request : requests)
        EXPECT_EQ(request, QStringLiteral("01030000000F05CE"));

    std::printf("RELIABILITY-FLOOD\tseconds=%d\tsent=%d\treceived_events=%d\t"
                "rss_before_kb=%ld\trss_after_kb=%ld\thwm_before_kb=%ld\t"
                "hwm_after_first_second_kb=%ld\thwm_after_kb=%ld\n",
                seconds, sent - 1, received - 1, rssBefore, rssAfter, peakBefore,
                peakAfterFirstSecond, peakAfter);
    report("random garbage at full speed for " + std::to_string(seconds) +
               " s while polling at 50 ms (--fault garbage)",
           "no crash, no message, polling went on (" + std::to_string(sent - 1) +
               " queries, each the operator's), peak RSS " + std::to_string(peakBefore) +
               " kB -> " + std::to_string(peakAfter) + " kB (rise " +
               std::to_string(peakAfter - peakBefore) + " kB, limit " +
               std::to_string(kPeakRiseLimitKb) + " kB)");
}
