// The Win32 transport's real calls, through wine, on pseudo-terminals with rx904-sim behind
// them. The simulated device answers only while the terminal is set to its speed, so an
// answer also proves that SetCommState reached the line.
#include "wine_ports.h"

#include "modbus/exchange_judge.h"
#include "modbus/request_frame.h"
#include "serial/port_directory.h"
#include "serial/win32_transport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using winetest::waitUntil;

QByteArray bytesOf(const modbus::RequestFrame &frame)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data()),
                      static_cast<qsizetype>(frame.size()));
}

struct Collected
{
    QByteArray bytes;
    int pieces = 0;
};

// Everything the transport delivers, and in how many pieces.
Collected *collect(serial::Transport &transport)
{
    auto *collected = new Collected;
    QObject::connect(&transport, &serial::Transport::received, &transport,
                     [collected](const QByteArray &bytes, serial::TimePoint) {
                         collected->bytes += bytes;
                         ++collected->pieces;
                     });
    QObject::connect(&transport, &QObject::destroyed, [collected] { delete collected; });
    return collected;
}

modbus::Verdict verdictOf(const QByteArray &request, const QByteArray &answer)
{
    const auto *req = reinterpret_cast<const std::uint8_t *>(request.constData());
    const auto *ans = reinterpret_cast<const std::uint8_t *>(answer.constData());
    return modbus::judgeAnswer({req, static_cast<std::size_t>(request.size())},
                               {ans, static_cast<std::size_t>(answer.size())})
        .verdict;
}

const QByteArray kReadAll = bytesOf(modbus::readRequest(1, 0, 15));

TEST(Win32Transport, AnswerInPiecesArrivesWholeAndInOrder)
{
    serial::Win32Transport transport(QString::fromLatin1(winetest::kInPieces));
    Collected *got = collect(transport);
    ASSERT_TRUE(transport.open().failure == serial::OpenFailure::None);
    transport.write(kReadAll);
    ASSERT_TRUE(waitUntil([&] { return got->bytes.size() >= 35; })) << got->bytes.toHex().data();
    EXPECT_EQ(verdictOf(kReadAll, got->bytes), modbus::Verdict::Complete);
    // Byte by byte off the line, so more than one read must have completed.
    EXPECT_GT(got->pieces, 1);
}

TEST(Win32Transport, WriteLeavesAtTheSpeedSetAndNotAtAnother)
{
    serial::Win32Transport transport(QString::fromLatin1(winetest::kAnswering));
    Collected *got = collect(transport);
    QSignalSpy sent(&transport, &serial::Transport::sent);
    transport.setLine(*serial::parseLineSettings(QStringLiteral("19200,N,8,1")));
    ASSERT_TRUE(transport.open().failure == serial::OpenFailure::None);
    transport.write(kReadAll);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toByteArray(), kReadAll);
    // The device keeps 9600 baud: at 19200 it hears nothing it may answer.
    EXPECT_FALSE(waitUntil([&] { return !got->bytes.isEmpty(); }, 500));

    transport.setLine(serial::LineSettings{});
    transport.discardInput();
    transport.write(kReadAll);
    ASSERT_TRUE(waitUntil([&] { return got->bytes.size() >= 35; }));
    EXPECT_EQ(verdictOf(kReadAll, got->bytes), modbus::Verdict::Complete);
    EXPECT_TRUE(transport.isOpen());
}

TEST(Win32Transport, TerminalClosedIsTheLineLostWithTheCause)
{
    serial::Win32Transport transport(QString::fromLatin1(winetest::kClosing));
    Collected *got = collect(transport);
    QSignalSpy lost(&transport, &serial::Transport::lost);
    ASSERT_TRUE(transport.open().failure == serial::OpenFailure::None);
    transport.write(kReadAll);
    ASSERT_TRUE(waitUntil([&] { return got->bytes.size() >= 35; }));
    EXPECT_EQ(lost.count(), 0);
    // The device closes its terminal after its second answer.
    transport.write(kReadAll);
    ASSERT_TRUE(waitUntil([&] { return lost.count() > 0; }));
    EXPECT_FALSE(transport.isOpen());
    EXPECT_TRUE(lost.at(0).at(0).toString().startsWith(QStringLiteral("设备 COM3 已断开")))
        << lost.at(0).at(0).toString().toStdString();
    // Once, not again on each pass of the event loop.
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(lost.count(), 1);
}

TEST(Win32Transport, PortThatDoesNotExistIsNamedWithThePortsThereAre)
{
    serial::Win32Transport transport(QString::fromLatin1(winetest::kAbsent));
    const serial::OpenAttempt attempt = transport.open();
    EXPECT_EQ(attempt.failure, serial::OpenFailure::NotFound) << attempt.systemError.toStdString();
    EXPECT_FALSE(transport.isOpen());
    const QString cause = serial::PortDirectory().explainOpenFailure(24, attempt);
    // COM1 … COM3 are in wine's port registry, so in SERIALCOMM.
    EXPECT_TRUE(cause.contains(QStringLiteral("本机没有串口 COM24"))) << cause.toStdString();
    EXPECT_TRUE(cause.contains(QStringLiteral("COM1、COM2、COM3"))) << cause.toStdString();
}

// Windows refuses a second open of a COM port with ERROR_ACCESS_DENIED; wine, measured here,
// opens it again, so a held port cannot be made under wine and its error is checked here.
struct ErrorCase
{
    DWORD error;
    serial::OpenFailure failure;
};

class Win32OpenError : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(Win32OpenError, IsTheCauseTheUserCanActOn)
{
    EXPECT_EQ(serial::win32OpenFailure(GetParam().error), GetParam().failure) << GetParam().error;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, Win32OpenError,
    ::testing::Values(ErrorCase{ERROR_FILE_NOT_FOUND, serial::OpenFailure::NotFound},
                      ErrorCase{ERROR_PATH_NOT_FOUND, serial::OpenFailure::NotFound},
                      // Another program has the port.
                      ErrorCase{ERROR_ACCESS_DENIED, serial::OpenFailure::Locked},
                      ErrorCase{ERROR_SHARING_VIOLATION, serial::OpenFailure::Locked},
                      // The driver's own: an adapter half-gone, a driver that failed to start.
                      ErrorCase{ERROR_GEN_FAILURE, serial::OpenFailure::Other},
                      ErrorCase{ERROR_DEVICE_NOT_CONNECTED, serial::OpenFailure::Other}));

} // namespace
