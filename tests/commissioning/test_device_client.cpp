#include "commissioning/device_client.h"
#include "modbus/exchange_judge.h"
#include "modbus/register_map.h"
#include "sim_link.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using commissioning::Outcome;
using namespace commissioning_test;

namespace {

// A clock that stands still and a deadline that passes only when the test says so.
class FakeTimer : public commissioning::DeadlineTimer
{
public:
    [[nodiscard]] commissioning::Clock::time_point now() const override { return {}; }
    void start(std::chrono::nanoseconds after) override
    {
        armed = after;
        running = true;
    }
    void stop() override { running = false; }
    void fire()
    {
        running = false;
        emit expired();
    }

    std::chrono::nanoseconds armed{};
    bool running = false;
};

struct ClientCase
{
    const char *name;
    std::vector<std::string> simOptions;
    modbus::RequestFrame request;
    std::optional<std::uint8_t> station;
    // The device's log line for a request it does not answer: the deadline is fired once it
    // is there, as often as the count says.
    const char *unanswered;
    int deadlines;
    Outcome outcome;
    int tries;
    int exceptionCode;
};

void PrintTo(const ClientCase &c, std::ostream *os)
{
    *os << c.name;
}

class DeviceClientTest : public ::testing::TestWithParam<ClientCase>
{
};

TEST_P(DeviceClientTest, EndsAsTheDeviceAnswers)
{
    const ClientCase &c = GetParam();
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("sim.log"));
    std::vector<std::string> options = c.simOptions;
    options.insert(options.end(), {"--log", log.toStdString()});
    SimLink link;
    ASSERT_TRUE(link.start(options));

    FakeTimer timer;
    commissioning::DeviceClient client(link.line.get(), timer);
    client.setBaud(9600);
    QSignalSpy sent(link.line.get(), &serial::Transport::sent);
    std::optional<commissioning::Reply> reply;
    ASSERT_TRUE(client.send(c.request, c.station, [&](const auto &r) { reply = r; }));
    EXPECT_FALSE(client.send(c.request, c.station, [](const auto &) {}));
    // The deadline of a try comes from the line speed and the answer's length.
    EXPECT_EQ(timer.armed,
              commissioning::tryTimeout(9600, *modbus::expectedAnswerLength(c.request)));
    EXPECT_GT(commissioning::tryTimeout(2400, 35), commissioning::tryTimeout(38400, 35));

    for (int fired = 1; fired <= c.deadlines; ++fired) {
        ASSERT_TRUE(waitUntil([&] { return countInFile(log, c.unanswered) >= fired; }));
        ASSERT_TRUE(timer.running);
        timer.fire();
    }
    ASSERT_TRUE(waitUntil([&] { return reply.has_value(); }));
    EXPECT_EQ(reply->outcome, c.outcome) << commissioning::outcomeText(*reply).toStdString();
    EXPECT_EQ(reply->tries, c.tries);
    EXPECT_EQ(reply->exceptionCode, c.exceptionCode);
    EXPECT_FALSE(client.busy());
    // Each try put the request on the line once, and nothing else went.
    ASSERT_EQ(sent.count(), c.tries);
    for (const auto &arguments : sent)
        EXPECT_EQ(arguments.at(0).toByteArray(),
                  QByteArray(reinterpret_cast<const char *>(c.request.data()), 8));
}

INSTANTIATE_TEST_SUITE_P(
    AgainstTheSimulatedDevice, DeviceClientTest,
    testing::Values(
        ClientCase{"Answer", {}, modbus::readRequest(1, 0, 15), 1, "", 0, Outcome::Answered, 1, 0},
        ClientCase{"TimeOut",
                   {"--fault", "silent"},
                   modbus::readRequest(1, 0, 15),
                   1,
                   "no-answer silent",
                   2,
                   Outcome::TimedOut,
                   2,
                   0},
        ClientCase{"RetrySucceeds",
                   {"--miss-first", "1"},
                   modbus::writeRequest(1, 0x0A00, 700),
                   1,
                   "no-answer missed",
                   1,
                   Outcome::Answered,
                   2,
                   0},
        ClientCase{"CrcError",
                   {"--fault", "bad-crc"},
                   modbus::deviceInfoRequest(1),
                   1,
                   "",
                   0,
                   Outcome::BadCrc,
                   2,
                   0},
        ClientCase{"Exception",
                   {"--refuse-write", "0x0A04"},
                   modbus::writeRequest(1, 0x0A04, 5),
                   1,
                   "",
                   0,
                   Outcome::Exception,
                   1,
                   4},
        // The address read is answered by station 23, not by the 250 it was sent to.
        ClientCase{"WrongStation",
                   {"--station", "23"},
                   modbus::readRequest(modbus::kAddressReadStation, 0, 1),
                   modbus::kAddressReadStation,
                   "",
                   0,
                   Outcome::WrongStation,
                   2,
                   0}),
    [](const testing::TestParamInfo<ClientCase> &info) { return std::string(info.param.name); });

} // namespace
