#include "commissioning/commissioner.h"
#include "sim_link.h"

#include <QTemporaryDir>

using commissioning::Commissioner;
using commissioning::RowState;
using namespace commissioning_test;

namespace {

constexpr std::size_t kRows = modbus::kValueFieldCount;

// The client and the jobs on the real clock, over COM1 on the simulated device.
class CommissionerTest : public ::testing::Test
{
protected:
    SimLink link;
    commissioning::QtDeadlineTimer timer;
    commissioning::DeviceClient client{link.line.get(), timer};
    Commissioner jobs{client};
    std::optional<QString> message;

    void SetUp() override
    {
        QObject::connect(&jobs, &Commissioner::finished, [this](const QString &m) { message = m; });
    }

    // Runs a job to its end; its message, empty when all went well.
    QString run(const std::function<void()> &job)
    {
        message.reset();
        job();
        EXPECT_TRUE(waitUntil([&] { return message.has_value(); }));
        return message.value_or(QStringLiteral("hung"));
    }

    std::array<RowState, kRows> states() const
    {
        std::array<RowState, kRows> result{};
        for (std::size_t k = 0; k < kRows; ++k)
            result[k] = jobs.rows()[k].state;
        return result;
    }
};

TEST_F(CommissionerTest, FindsADeviceOfUnknownSpeedAndStation)
{
    ASSERT_TRUE(link.start({"--baud", "4800", "--station", "23", "--ident", "RX904-K23"}));
    jobs.setLink({9600, 1});
    EXPECT_EQ(run([&] { jobs.findBySpeed(); }), QString());
    ASSERT_EQ(jobs.found().size(), 1U);
    EXPECT_EQ(jobs.found()[0].baud, 4800);
    EXPECT_EQ(jobs.found()[0].station, 23);
    EXPECT_EQ(jobs.found()[0].identification, QStringLiteral("RX904-K23"));
    // The search leaves the line where it was.
    EXPECT_EQ(client.baud(), 9600);

    jobs.setLink({4800, 1});
    EXPECT_EQ(run([&] { jobs.scanStations(21, 24); }), QString());
    ASSERT_EQ(jobs.found().size(), 1U);
    EXPECT_EQ(jobs.found()[0].station, 23);
}

TEST_F(CommissionerTest, SavedParametersCloneOntoAnotherDeviceAndReadBackEqual)
{
    ASSERT_TRUE(
        link.start({"--station", "3", "--register", "3=700", "--register", "4=12", "--register",
                    "6=-5", "--register", "7=2", "--register", "10=40000", "--register", "14=5"}));
    jobs.setLink({9600, 3});
    ASSERT_EQ(run([&] { jobs.readParameters(); }), QString());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rx904.txt"));
    ASSERT_EQ(commissioning::saveParameterFile(path, jobs.device()), QString());
    link.line->close();
    link.sim.signal(SIGTERM);
    ASSERT_TRUE(link.sim.waitForExit());

    const commissioning::LoadResult loaded = commissioning::loadParameterFile(path);
    ASSERT_TRUE(loaded.set) << loaded.error.toStdString();
    SimLink second;
    ASSERT_TRUE(second.start({"--station", "5"}));
    commissioning::DeviceClient secondClient(second.line.get(), timer);
    Commissioner secondJobs(secondClient);
    std::optional<QString> done;
    QObject::connect(&secondJobs, &Commissioner::finished, [&](const QString &m) { done = m; });
    secondJobs.setLink({9600, 5});
    std::array<bool, kRows> chosen{};
    for (std::size_t k = 3; k < kRows; ++k)
        chosen[k] = k != commissioning::kStationField && k != commissioning::kBaudField;
    secondJobs.writeParameters(loaded.set->raw, chosen);
    ASSERT_TRUE(waitUntil([&] { return done.has_value(); }));
    EXPECT_EQ(*done, QString());
    for (std::size_t k = 0; k < kRows; ++k) {
        EXPECT_EQ(secondJobs.rows()[k].state, chosen[k] ? RowState::Verified : RowState::NotChosen)
            << k;
        if (chosen[k]) {
            EXPECT_EQ(secondJobs.device().raw[k], loaded.set->raw[k]) << k;
        }
    }
    EXPECT_EQ(secondJobs.device().station, 5);
}

TEST_F(CommissionerTest, ARefusedWriteStopsAndSaysWhichRowsLanded)
{
    ASSERT_TRUE(link.start({"--refuse-write", "0x0A04"}));
    jobs.setLink({9600, 1});
    std::array<bool, kRows> chosen{};
    std::array<std::uint16_t, kRows> values{};
    for (const std::size_t k : {3U, 4U, 5U, 6U}) {
        chosen[k] = true;
        values[k] = static_cast<std::uint16_t>(10 + k);
    }
    EXPECT_EQ(run([&] { jobs.writeParameters(values, chosen); }),
              QStringLiteral("写入在“控制回差”处停止：设备拒绝（异常码 04）"));
    std::array<RowState, kRows> expected{};
    expected[3] = RowState::Verified;
    expected[4] = RowState::Verified;
    expected[5] = RowState::Failed;
    expected[6] = RowState::Left;
    EXPECT_EQ(states(), expected);
    EXPECT_EQ(commissioning::rowStateText(jobs.rows()[5]),
              QStringLiteral("写入失败：设备拒绝（异常码 04）"));
}

TEST_F(CommissionerTest, ChangingStationAndSpeedFollowsTheDevice)
{
    ASSERT_TRUE(link.start({}));
    jobs.setLink({9600, 1});
    std::array<bool, kRows> chosen{};
    std::array<std::uint16_t, kRows> values{};
    chosen[commissioning::kBaudField] = true;
    values[commissioning::kBaudField] = 19200;
    chosen[commissioning::kStationField] = true;
    values[commissioning::kStationField] = 7;
    chosen[3] = true;
    values[3] = 650;
    EXPECT_EQ(run([&] { jobs.writeParameters(values, chosen); }), QString());
    EXPECT_EQ(jobs.link().baud, 19200);
    EXPECT_EQ(jobs.link().station, 7);
    for (const std::size_t k : {3U, 8U, 9U})
        EXPECT_EQ(jobs.rows()[k].state, RowState::Verified) << k;
    // The device no longer answers at its old speed.
    jobs.setLink({9600, 7});
    EXPECT_NE(run([&] { jobs.readParameters(); }), QString());
    jobs.setLink({19200, 7});
    EXPECT_EQ(run([&] { jobs.readParameters(); }), QString());
    EXPECT_EQ(jobs.device().raw[3], 650);
}

} // namespace
