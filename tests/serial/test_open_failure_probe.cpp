// The causes the system of this machine can produce for real: a missing device, a device the
// user may not open, a device another program holds.
#include "control_fixture.h"
#include "serial/open_failure_probe.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using serial_test::PtyControl;

class SerialOpenFailureOnThisSystem : public PtyControl
{
};

TEST_F(SerialOpenFailureOnThisSystem, MissingDeviceNamesWhatIsThere)
{
    mapPort(3, QStringLiteral("/dev/rx904-no-such-device"));
    m_control.setCommPort(3);
    ASSERT_FALSE(m_control.setPortOpen(true));
    const QString cause = m_control.openFailureCause();
    EXPECT_TRUE(cause.contains(
        QStringLiteral("环境变量 RX904_COM3 指定的设备 /dev/rx904-no-such-device 不存在")))
        << cause.toStdString();
    const auto listed = serial::numberedDevices(serial::presentDevices(), serial::hostPlatform());
    EXPECT_TRUE(cause.contains(QStringLiteral("本机当前有 %1 个串口设备").arg(listed.size())))
        << cause.toStdString();
    EXPECT_TRUE(cause.contains(QStringLiteral("COM1 → ") + m_pty.slavePath()))
        << cause.toStdString();
}

// Root opens any device, so the device goes to the dialout group and a program running as
// nobody tries it; without root the device is closed to its own owner.
TEST_F(SerialOpenFailureOnThisSystem, DeviceClosedToTheUserNamesGroupAndCommand)
{
    const QByteArray path = m_pty.slavePath().toLocal8Bit();
    QProcess probe;
    QString expected;
    if (::geteuid() == 0) {
        const group *dialout = ::getgrnam("dialout");
        if (dialout == nullptr)
            GTEST_SKIP() << "no dialout group on this machine";
        ASSERT_EQ(::chown(path.constData(), 0, dialout->gr_gid), 0) << std::strerror(errno);
        ASSERT_EQ(::chmod(path.constData(), 0660), 0);
        const serial::OpenFailureFacts facts = serial::gatherOpenFailureFacts(
            1, {serial::OpenFailure::Permission, m_pty.slavePath(), QString()}, m_map, {});
        EXPECT_TRUE(facts.exists);
        EXPECT_EQ(facts.group, QStringLiteral("dialout"));
        EXPECT_EQ(facts.owner, QStringLiteral("root"));
        EXPECT_EQ(facts.mode, 0660U);
        probe.setProgram(QStringLiteral("setpriv"));
        probe.setArguments({QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), QStringLiteral(RX904_OPEN_PROBE)});
        expected = QStringLiteral("该设备属于 dialout 组，当前用户不在该组中。请执行以下命令，然后"
                                  "注销并重新登录： sudo usermod -aG dialout $USER");
    } else {
        ASSERT_EQ(::chmod(path.constData(), 0), 0);
        probe.setProgram(QStringLiteral(RX904_OPEN_PROBE));
        expected = QStringLiteral("其权限为 0000");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RX904_COM1"), m_pty.slavePath());
    probe.setProcessEnvironment(environment);
    probe.start();
    ASSERT_TRUE(probe.waitForFinished(30000)) << probe.errorString().toStdString();
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split('\n');
    ASSERT_GE(lines.size(), 2) << probe.readAllStandardError().toStdString();
    EXPECT_EQ(lines.at(0), QStringLiteral("refused"));
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("没有权限读写 ") + m_pty.slavePath()))
        << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(1).contains(expected)) << lines.at(1).toStdString();
}

TEST_F(SerialOpenFailureOnThisSystem, BusyDeviceNamesTheProgramHoldingIt)
{
    const qint64 self = ::getpid();
    const auto heldBySelf = [&] {
        const QList<serial::DeviceHolder> holders = serial::deviceHolders(m_pty.slavePath());
        return std::any_of(
            holders.cbegin(), holders.cend(),
            [self](const serial::DeviceHolder &holder) { return holder.pid == self; });
    };
    EXPECT_FALSE(heldBySelf());

    const QByteArray path = m_pty.slavePath().toLocal8Bit();
    const int other = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0) << std::strerror(errno);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(heldBySelf());
    ASSERT_FALSE(openControl());
    const QString cause = m_control.openFailureCause();
    ::close(other);

    QFile comm(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    const QString program = QString::fromLocal8Bit(comm.readAll()).trimmed();
    EXPECT_TRUE(cause.contains(QStringLiteral("%1（进程号 %2）").arg(program).arg(self)))
        << cause.toStdString();
    EXPECT_TRUE(openControl());
}

} // namespace
