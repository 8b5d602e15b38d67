// Who else may open a port the tool holds. QSerialPort takes a lock file (LCK..pts_N in
// /run/lock or /tmp) and sets TIOCEXCL; the control adds an exclusive flock(). TIOCEXCL does
// not stop root, so these tests, run as root, rely on the other two; the last test checks
// TIOCEXCL with a program that is not root.
#include "control_fixture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using serial_test::PtyControl;

class SerialExclusivePort : public PtyControl
{
protected:
    // Starts a process of its own that opens COM1 the way the tool does; gives what it said.
    QString startProbe(QProcess &probe)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("RX904_COM1"), m_pty.slavePath());
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral(RX904_OPEN_PROBE), QStringList());
        if (!probe.waitForStarted(10000))
            return QStringLiteral("not started");
        while (!probe.canReadLine()) {
            if (!probe.waitForReadyRead(30000))
                return QStringLiteral("no answer");
        }
        return QString::fromLatin1(probe.readLine()).trimmed();
    }

    static void endProbe(QProcess &probe)
    {
        probe.closeWriteChannel();
        if (!probe.waitForFinished(30000))
            probe.kill();
        probe.waitForFinished(30000);
    }
};

TEST_F(SerialExclusivePort, SecondControlInTheSameProgramIsRefused)
{
    ASSERT_TRUE(openControl());
    ops::CommAdapter second(m_ports);
    second.setCommPort(1);
    EXPECT_FALSE(second.setPortOpen(true));
    EXPECT_FALSE(second.portOpen());

    // The holder is undisturbed.
    ASSERT_TRUE(m_pty.send(QByteArrayLiteral("still mine")));
    ASSERT_TRUE(waitForWaiting(10));
    EXPECT_EQ(m_control.input(), QByteArrayLiteral("still mine"));

    ASSERT_TRUE(m_control.setPortOpen(false));
    EXPECT_TRUE(second.setPortOpen(true));
}

TEST_F(SerialExclusivePort, AnotherProgramIsRefusedWhileTheToolHoldsThePort)
{
    ASSERT_TRUE(openControl());
    QProcess probe;
    EXPECT_EQ(startProbe(probe), QStringLiteral("refused"));
    endProbe(probe);
    EXPECT_TRUE(m_control.portOpen());
}

TEST_F(SerialExclusivePort, PortHeldByAnotherProgramCannotBeOpened)
{
    QProcess probe;
    ASSERT_EQ(startProbe(probe), QStringLiteral("opened"));
    m_control.setCommPort(1);
    EXPECT_FALSE(m_control.setPortOpen(true));
    EXPECT_FALSE(m_control.portOpen());
    endProbe(probe);
    EXPECT_TRUE(m_control.setPortOpen(true));
}

TEST_F(SerialExclusivePort, AHolderThatCrashedLeavesNothingBehind)
{
    QProcess probe;
    ASSERT_EQ(startProbe(probe), QStringLiteral("opened"));
    ::kill(static_cast<pid_t>(probe.processId()), SIGKILL);
    ASSERT_TRUE(probe.waitForFinished(30000));
    m_control.setCommPort(1);
    EXPECT_TRUE(m_control.setPortOpen(true));
}

TEST_F(SerialExclusivePort, ProgramHoldingALockKeepsThePortClosed)
{
    const QByteArray path = m_pty.slavePath().toLocal8Bit();
    const int other = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0) << std::strerror(errno);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    m_control.setCommPort(1);
    EXPECT_FALSE(m_control.setPortOpen(true));
    EXPECT_FALSE(m_control.portOpen());
    ::close(other);
    // The failed attempt left no lock file of its own behind.
    EXPECT_TRUE(m_control.setPortOpen(true));
}

TEST_F(SerialExclusivePort, HeldPortRefusesOtherProgramsLocks)
{
    ASSERT_TRUE(openControl());
    const QByteArray path = m_pty.slavePath().toLocal8Bit();
    const int other = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (other < 0) {
        // Not root: TIOCEXCL already keeps the other program out.
        EXPECT_EQ(errno, EBUSY);
        return;
    }
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), -1);
    EXPECT_EQ(errno, EWOULDBLOCK);
    ::close(other);
    ASSERT_TRUE(m_control.setPortOpen(false));
    const int afterClose = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(afterClose, 0);
    EXPECT_EQ(::flock(afterClose, LOCK_EX | LOCK_NB), 0);
    ::close(afterClose);
}

// Opens the device as a program without root would: 0 opened, EBUSY refused for exclusive
// use, another errno for anything else.
int openAsOrdinaryUser(const QByteArray &path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(255);
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd >= 0 ? 0 : (errno & 0x7f));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(SerialExclusivePort, ProgramsWithoutRootGetBusy)
{
    const QByteArray path = m_pty.slavePath().toLocal8Bit();
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(path.constData(), 0666), 0);
    }
    ASSERT_EQ(openAsOrdinaryUser(path), 0) << "the test cannot open the device at all";
    ASSERT_TRUE(openControl());
    EXPECT_EQ(openAsOrdinaryUser(path), EBUSY);
    ASSERT_TRUE(m_control.setPortOpen(false));
    EXPECT_EQ(openAsOrdinaryUser(path), 0);
}

} // namespace
