#include "control_fixture.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <termios.h>
#include <thread>

namespace {

using ops::kInBufferSize;
using serial::kComEventPortLost;
using serial::kComEventRxOver;
using serial::kComEvReceive;
using serial_test::PtyControl;
using serial_test::pumpRounds;
using serial_test::pumpUntil;

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// Bytes that differ from one 4096-byte stretch to the next, so a kept stretch shows which.
QByteArray pattern(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = seed;
    for (qsizetype i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

termios slaveTermios(int masterFd)
{
    // On a pseudo-terminal the master side reads the slave side's settings.
    termios settings{};
    ::tcgetattr(masterFd, &settings);
    return settings;
}

class SerialControlClosed : public PtyControl
{
};

TEST_F(SerialControlClosed, StartsLikeTheClassicControl)
{
    EXPECT_EQ(m_control.commPort(), 1);
    EXPECT_EQ(m_control.settings(), serial::LineSettings{});
    EXPECT_FALSE(m_control.portOpen());
    EXPECT_EQ(m_control.rThreshold(), 0);
    EXPECT_EQ(m_control.inBufferCount(), 0);
    EXPECT_EQ(m_control.commEvent(), 0);
}

TEST_F(SerialControlClosed, AcceptsEverySettingWithoutOpening)
{
    m_control.setCommPort(3);
    m_control.setSettings(QStringLiteral("19200,E,7,2"));
    m_control.setInputMode(serial::kInputModeBinary);
    m_control.setInputLen(0);
    m_control.setInBufferCount(0);
    m_control.setOutBufferCount(0);
    m_control.setSThreshold(0);
    m_control.setRThreshold(5);
    m_control.setOutput(QByteArrayLiteral("\x01\x03"));
    EXPECT_TRUE(m_control.input().isEmpty());
    EXPECT_TRUE(m_control.setPortOpen(false));

    EXPECT_FALSE(m_control.portOpen());
    EXPECT_EQ(m_control.commPort(), 3);
    EXPECT_EQ(m_control.rThreshold(), 5);
    const serial::LineSettings expected{19200, serial::Parity::Even, 7, serial::StopBits::Two};
    EXPECT_EQ(m_control.settings(), expected);
    pumpRounds(3);
    EXPECT_TRUE(m_events.empty());
}

TEST_F(SerialControlClosed, IgnoresValuesItCannotTake)
{
    m_control.setCommPort(4);
    m_control.setSettings(QStringLiteral("4800,N,8,1"));
    m_control.setRThreshold(2);
    m_control.setCommPort(0);
    m_control.setCommPort(26);
    m_control.setSettings(QStringLiteral("fast,N,8,1"));
    m_control.setSettings(QString());
    m_control.setRThreshold(-1);
    EXPECT_EQ(m_control.commPort(), 4);
    EXPECT_EQ(m_control.settings().baudRate, 4800);
    EXPECT_EQ(m_control.rThreshold(), 2);
}

class SerialOpenFailure : public PtyControl, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(SerialOpenFailure, LeavesThePortClosed)
{
    QTemporaryFile plainFile;
    ASSERT_TRUE(plainFile.open());
    QString device = QString::fromUtf8(GetParam());
    if (device == QLatin1String("plain file"))
        device = plainFile.fileName();
    mapPort(2, device);
    m_control.setCommPort(2);
    EXPECT_FALSE(m_control.setPortOpen(true)) << qPrintable(device);
    EXPECT_FALSE(m_control.portOpen());
    m_control.setCommPort(1);
    // The same control opens a device that is there.
    EXPECT_TRUE(openControl());
}

INSTANTIATE_TEST_SUITE_P(Devices, SerialOpenFailure,
                         ::testing::Values("/dev/rx904-no-such-device", "/", "plain file"));

class SerialControlOpen : public PtyControl
{
};

TEST_F(SerialControlOpen, OpenAppliesTheStoredSettings)
{
    m_control.setSettings(QStringLiteral("19200,N,8,2"));
    ASSERT_TRUE(openControl());
    termios line = slaveTermios(m_pty.masterFd());
    EXPECT_EQ(cfgetospeed(&line), speed_t(B19200));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
    // Raw line: no echo, no line editing, no CR/LF translation either way.
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
}

TEST_F(SerialControlOpen, NewSettingsApplyAtOnceOnAnOpenPort)
{
    ASSERT_TRUE(openControl());
    termios line = slaveTermios(m_pty.masterFd());
    EXPECT_EQ(cfgetospeed(&line), speed_t(B9600));
    m_control.setSettings(QStringLiteral("38400,N,8,2"));
    line = slaveTermios(m_pty.masterFd());
    EXPECT_EQ(cfgetospeed(&line), speed_t(B38400));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
    m_control.setSettings(QStringLiteral("2400,N,8,1"));
    line = slaveTermios(m_pty.masterFd());
    EXPECT_EQ(cfgetospeed(&line), speed_t(B2400));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    m_control.setSettings(QStringLiteral("2400;N;8;1 and more"));
    line = slaveTermios(m_pty.masterFd());
    EXPECT_EQ(cfgetospeed(&line), speed_t(B2400));
    EXPECT_EQ(m_control.settings().baudRate, 2400);
}

struct LineCase
{
    const char *name;
    bool deviceServer;
    const char *settings; // set once the port is open
    std::optional<serial::LineSettings> line;
};

class SerialControlLine : public PtyControl, public ::testing::WithParamInterface<LineCase>
{
};

// The traffic monitor times requests by the line as it is set now; a device server's line is
// its own.
TEST_P(SerialControlLine, IsTheCurrentSettingsOfASerialPortOnly)
{
    const LineCase &c = GetParam();
    QTcpServer server;
    if (c.deviceServer) {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        mapPort(1, QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()));
    }
    ASSERT_TRUE(openControl());
    m_control.setSettings(QString::fromLatin1(c.settings));
    EXPECT_EQ(m_control.transport()->line(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SerialControlLine,
    ::testing::Values(LineCase{"Start", false, "9600,N,8,1", serial::LineSettings{}},
                      LineCase{"Changed", false, "38400,E,8,1",
                               serial::LineSettings{38400, serial::Parity::Even, 8,
                                                    serial::StopBits::One}},
                      LineCase{"DeviceServer", true, "38400,E,8,1", std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SerialControlOpen, OpeningAnOpenPortFailsAndKeepsItOpen)
{
    ASSERT_TRUE(openControl());
    EXPECT_FALSE(m_control.setPortOpen(true));
    EXPECT_TRUE(m_control.portOpen());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("ok")));
    ASSERT_TRUE(waitForWaiting(2));
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("ok"));

    EXPECT_TRUE(m_control.setPortOpen(false));
    EXPECT_FALSE(m_control.portOpen());
    EXPECT_TRUE(m_control.setPortOpen(false));
    EXPECT_TRUE(m_control.setPortOpen(true));
    EXPECT_TRUE(m_control.portOpen());
}

TEST_F(SerialControlOpen, InputGivesEveryByteThePeerSentInOrder)
{
    ASSERT_TRUE(openControl());
    const QByteArray sent = everyByteValue();
    ASSERT_TRUE(m_pty.send(sent));
    ASSERT_TRUE(waitForWaiting(256));
    EXPECT_EQ(m_control.input(), sent);
    EXPECT_EQ(m_control.inBufferCount(), 0);
    EXPECT_TRUE(m_control.input().isEmpty());
}

TEST_F(SerialControlOpen, InputLenLimitsOneRead)
{
    ASSERT_TRUE(openControl());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("0123456789")));
    ASSERT_TRUE(waitForWaiting(10));
    m_control.setInputLen(3);
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("012"));
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("345"));
    EXPECT_EQ(m_control.inBufferCount(), 4);
    m_control.setInputLen(0);
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("6789"));
}

TEST_F(SerialControlOpen, ThresholdZeroRaisesNoEvents)
{
    ASSERT_TRUE(openControl());
    m_control.setRThreshold(0);
    ASSERT_TRUE(m_pty.send(pattern(100, 1)));
    ASSERT_TRUE(waitForWaiting(100));
    pumpRounds(3);
    EXPECT_TRUE(m_events.empty());
}

class SerialThreshold : public PtyControl, public ::testing::WithParamInterface<int>
{
};

TEST_P(SerialThreshold, EventOnlyOnceThresholdBytesWait)
{
    const int threshold = GetParam();
    ASSERT_TRUE(openControl());
    m_control.setRThreshold(threshold);

    // Below the threshold, one byte at a time: bytes arrive, no event.
    for (int count = 1; count < threshold; ++count) {
        ASSERT_TRUE(m_pty.send(QByteArray(1, 'a')));
        ASSERT_TRUE(waitForWaiting(count));
    }
    pumpRounds(2);
    EXPECT_TRUE(m_events.empty());

    ASSERT_TRUE(m_pty.send(QByteArray(1, 'b')));
    ASSERT_TRUE(pumpUntil([&] { return !m_events.empty(); }));
    EXPECT_EQ(m_events, std::vector<int>{kComEvReceive});
    EXPECT_EQ(m_control.inBufferCount(), threshold);

    // Bytes arriving while the threshold is still met announce themselves again.
    ASSERT_TRUE(m_pty.send(QByteArray(1, 'c')));
    ASSERT_TRUE(pumpUntil([&] { return m_events.size() == 2; }));
    EXPECT_EQ(m_events.back(), kComEvReceive);

    // Once read, the count starts again from nothing.
    EXPECT_EQ(m_control.input().size(), threshold + 1);
    if (threshold > 1) {
        ASSERT_TRUE(m_pty.send(QByteArray(threshold - 1, 'd')));
        ASSERT_TRUE(waitForWaiting(threshold - 1));
        pumpRounds(2);
        EXPECT_EQ(m_events.size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, SerialThreshold, ::testing::Values(1, 2, 8, 35));

TEST_F(SerialControlOpen, AWholeAnswerAtOnceRaisesOneEvent)
{
    ASSERT_TRUE(openControl());
    m_control.setRThreshold(35);
    ASSERT_TRUE(m_pty.send(pattern(35, 2)));
    ASSERT_TRUE(pumpUntil([&] { return m_control.inBufferCount() == 35; }));
    pumpRounds(2);
    EXPECT_EQ(m_events, std::vector<int>{kComEvReceive});
    EXPECT_EQ(m_control.input(), pattern(35, 2));
}

TEST_F(SerialControlOpen, NoEventFromInsideACall)
{
    ASSERT_TRUE(openControl());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("12345")));
    ASSERT_TRUE(waitForWaiting(5));
    m_control.setRThreshold(1);
    m_control.setInputMode(serial::kInputModeBinary);
    m_control.setOutput(QByteArrayLiteral("x"));
    EXPECT_TRUE(m_events.empty());
    // Arming over bytes already waiting waits for the next bytes to arrive.
    pumpRounds(3);
    EXPECT_TRUE(m_events.empty());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("6")));
    ASSERT_TRUE(pumpUntil([&] { return !m_events.empty(); }));
    EXPECT_EQ(m_events, std::vector<int>{kComEvReceive});
}

TEST_F(SerialControlOpen, InBufferCountZeroDiscardsWaitingBytes)
{
    ASSERT_TRUE(openControl());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("old")));
    ASSERT_TRUE(waitForWaiting(3));
    m_control.setInBufferCount(0);
    EXPECT_EQ(m_control.inBufferCount(), 0);
    EXPECT_TRUE(m_control.input().isEmpty());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("new")));
    ASSERT_TRUE(waitForWaiting(3));
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("new"));
}

TEST_F(SerialControlOpen, InBufferCountZeroDiscardsBytesTheSystemStillHolds)
{
    ASSERT_TRUE(openControl());
    // Sent without running the event loop: they wait in the system, not yet read.
    ASSERT_EQ(m_pty.trySend("stale", 5), 5);
    m_control.setInBufferCount(0);
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("fresh")));
    ASSERT_TRUE(pumpUntil([&] { return m_control.inBufferCount() >= 5; }));
    pumpRounds(3);
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("fresh"));
}

TEST_F(SerialControlOpen, OutputReachesThePeerByteForByte)
{
    ASSERT_TRUE(openControl());
    const QByteArray sent = everyByteValue() + QByteArray::fromHex("01030000000F05CE");
    m_control.setOutput(sent);
    EXPECT_EQ(m_pty.receive(sent.size()), sent);
    pumpRounds(2);
    EXPECT_TRUE(m_pty.receiveAvailable().isEmpty());
}

TEST_F(SerialControlOpen, OutputQueuesInOrder)
{
    ASSERT_TRUE(openControl());
    m_control.setOutput(QByteArrayLiteral("first,"));
    m_control.setOutput(QByteArrayLiteral("second,"));
    m_control.setOutput(QByteArrayLiteral("third"));
    EXPECT_EQ(m_pty.receive(18), QByteArrayLiteral("first,second,third"));
}

TEST_F(SerialControlOpen, OutputOnAClosedPortSendsNothing)
{
    ASSERT_TRUE(openControl());
    ASSERT_TRUE(m_control.setPortOpen(false));
    m_control.setOutput(QByteArrayLiteral("nothing"));
    ASSERT_TRUE(openControl());
    m_control.setOutput(QByteArrayLiteral("after"));
    EXPECT_EQ(m_pty.receive(5), QByteArrayLiteral("after"));
}

TEST_F(SerialControlOpen, ClosingDiscardsWhatWasNotRead)
{
    ASSERT_TRUE(openControl());
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("unread")));
    ASSERT_TRUE(waitForWaiting(6));
    ASSERT_TRUE(m_control.setPortOpen(false));
    EXPECT_EQ(m_control.inBufferCount(), 0);
    EXPECT_TRUE(m_control.input().isEmpty());
}

// Sends size bytes as fast as the line takes them, running the event loop, and returns the
// largest number of bytes the control held at any point.
int flood(serial_test::PtyPair &pty, ops::CommAdapter &control, const QByteArray &bytes)
{
    qsizetype delivered = 0;
    const QMetaObject::Connection counting =
        QObject::connect(control.transport(), &serial::Transport::received,
                         [&delivered](const QByteArray &piece) { delivered += piece.size(); });
    int largest = 0;
    qsizetype sent = 0;
    const bool done = pumpUntil(
        [&] {
            sent += pty.trySend(bytes.constData() + sent, bytes.size() - sent);
            QCoreApplication::processEvents();
            largest = std::max(largest, control.inBufferCount());
            return sent == bytes.size();
        },
        120000);
    EXPECT_TRUE(done) << "the control stopped taking bytes after " << sent;
    // Everything sent has passed through the control once the transport delivered it all.
    EXPECT_TRUE(pumpUntil([&] {
        largest = std::max(largest, control.inBufferCount());
        return delivered == bytes.size();
    }));
    QObject::disconnect(counting);
    pumpRounds(2);
    return std::max(largest, control.inBufferCount());
}

TEST_F(SerialControlOpen, FloodKeepsTheOldestBytesAndReportsOneOverrun)
{
    ASSERT_TRUE(openControl());
    const QByteArray first = pattern(1024 * 1024, 3);
    EXPECT_LE(flood(m_pty, m_control, first), kInBufferSize);
    EXPECT_EQ(m_control.inBufferCount(), kInBufferSize);
    EXPECT_EQ(m_events, std::vector<int>{kComEventRxOver});
    EXPECT_EQ(m_control.input(), first.left(kInBufferSize));

    // Reading ended that overrun; the next flood is a new one.
    const QByteArray second = pattern(3 * kInBufferSize, 4);
    EXPECT_LE(flood(m_pty, m_control, second), kInBufferSize);
    EXPECT_EQ(m_events, (std::vector<int>{kComEventRxOver, kComEventRxOver}));
    EXPECT_EQ(m_control.input(), second.left(kInBufferSize));
}

TEST_F(SerialControlOpen, OverrunAndReceiveEventsBothReachTheHandler)
{
    ASSERT_TRUE(openControl());
    m_control.setRThreshold(1);
    flood(m_pty, m_control, pattern(2 * kInBufferSize, 5));
    ASSERT_FALSE(m_events.empty());
    EXPECT_EQ(std::count(m_events.begin(), m_events.end(), kComEventRxOver), 1);
    EXPECT_EQ(m_events.front(), kComEvReceive);
    EXPECT_EQ(m_control.inBufferCount(), kInBufferSize);
}

// Counts the socket activations the event loop delivers, to see a notifier firing without
// end.
class SocketActivations : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::SockAct)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

double processSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST_F(SerialControlOpen, VanishedPortClosesAndReportsOnce)
{
    ASSERT_TRUE(openControl());
    m_control.setRThreshold(1);
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("ab")));
    ASSERT_TRUE(pumpUntil([&] { return !m_events.empty(); }));
    m_events.clear();

    m_pty.closeMaster();
    ASSERT_TRUE(pumpUntil([&] { return !m_events.empty(); }));
    EXPECT_EQ(m_events, std::vector<int>{kComEventPortLost});
    EXPECT_FALSE(m_control.portOpen());
    EXPECT_EQ(m_control.commEvent(), kComEventPortLost);

    // Nothing goes on firing after the loss: no notifier is left enabled, the loop idles.
    SocketActivations activations;
    QCoreApplication::instance()->installEventFilter(&activations);
    const double cpuBefore = processSeconds();
    pumpRounds(40);
    const double cpuUsed = processSeconds() - cpuBefore;
    QCoreApplication::instance()->removeEventFilter(&activations);
    std::printf("[ info ] after the loss: %d socket activations, %.1f ms CPU in 40 rounds of "
                "5 ms\n",
                activations.count, cpuUsed * 1000.0);
    EXPECT_LE(activations.count, 2);
    EXPECT_EQ(m_events.size(), 1u);

    // Everything the tool may still call is harmless.
    m_control.setOutput(QByteArrayLiteral("\x01\x03"));
    m_control.setInBufferCount(0);
    m_control.setOutBufferCount(0);
    m_control.setRThreshold(35);
    m_control.setSettings(QStringLiteral("19200,N,8,1"));
    EXPECT_TRUE(m_control.input().isEmpty());
    EXPECT_EQ(m_control.inBufferCount(), 0);
    EXPECT_TRUE(m_control.setPortOpen(false));
    mapPort(1, QStringLiteral("/dev/rx904-no-such-device"));
    EXPECT_FALSE(m_control.setPortOpen(true));
    pumpRounds(3);
    EXPECT_EQ(m_events.size(), 1u);
}

TEST_F(SerialControlOpen, VanishingWhileNothingIsArmedStillReports)
{
    ASSERT_TRUE(openControl());
    m_pty.closeMaster();
    ASSERT_TRUE(pumpUntil([&] { return !m_events.empty(); }));
    EXPECT_EQ(m_events, std::vector<int>{kComEventPortLost});
    EXPECT_FALSE(m_control.portOpen());
}

// A request that cannot leave (the device gone before the event loop noticed) closes the port
// and reports it, instead of leaving the tool waiting for an answer in silence.
TEST_F(SerialControlOpen, AFailedWriteReportsTheLostPort)
{
    ASSERT_TRUE(openControl());
    m_control.setRThreshold(35);
    m_pty.closeMaster();
    m_control.setOutput(QByteArray::fromHex("01030000000F05CE"));
    EXPECT_FALSE(m_control.portOpen());
    EXPECT_TRUE(m_events.empty());
    ASSERT_TRUE(pumpUntil([&] { return !m_events.empty(); }));
    pumpRounds(3);
    EXPECT_EQ(m_events, std::vector<int>{kComEventPortLost});
}

} // namespace
