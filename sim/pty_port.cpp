#include "pty_port.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

std::string systemError(const char *what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

std::optional<speed_t> knownSpeed(int baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 9600:
        return B9600;
    case 115200:
        return B115200;
    default:
        return std::nullopt;
    }
}

speed_t speedConstant(int baud)
{
    return knownSpeed(baud).value_or(B9600);
}

} // namespace

PtyPort::~PtyPort()
{
    close();
}

bool PtyPort::open(int baud, std::string &error)
{
    close();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = systemError("grantpt/unlockpt");
        close();
        return false;
    }
    std::array<char, 128> name{};
    if (::ptsname_r(m_master, name.data(), name.size()) != 0) {
        error = systemError("ptsname");
        close();
        return false;
    }
    m_slavePath = name.data();
    m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        error = systemError("open slave");
        close();
        return false;
    }
    termios mode{};
    if (::tcgetattr(m_slave, &mode) != 0) {
        error = systemError("tcgetattr");
        close();
        return false;
    }
    ::cfmakeraw(&mode);
    mode.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&mode, speedConstant(baud));
    if (::tcsetattr(m_slave, TCSANOW, &mode) != 0) {
        error = systemError("tcsetattr");
        close();
        return false;
    }
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0 ||
        ::fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0) {
        error = systemError("fcntl");
        close();
        return false;
    }
    return true;
}

bool PtyPort::toolSpeedIs(int baud) const
{
    const std::optional<speed_t> wanted = knownSpeed(baud);
    termios mode{};
    if (!wanted || m_master < 0 || ::tcgetattr(m_master, &mode) != 0)
        return true;
    return ::cfgetospeed(&mode) == *wanted;
}

int PtyPort::unreadByTool() const
{
    // All slave descriptors share one input queue, so ours shows what the tool has left.
    int count = 0;
    if (m_slave < 0 || ::ioctl(m_slave, TIOCINQ, &count) != 0)
        return 0;
    return count;
}

void PtyPort::close()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

bool placeLink(const std::string &linkPath, const std::string &target, std::string &error)
{
    struct stat info
    {
    };
    if (::lstat(linkPath.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        error = linkPath + " exists and is not a symbolic link";
        return false;
    }
    const std::string temporary = linkPath + ".tmp" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        error = systemError(("symlink " + temporary).c_str());
        return false;
    }
    if (::rename(temporary.c_str(), linkPath.c_str()) != 0) {
        error = systemError(("rename to " + linkPath).c_str());
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void removeLink(const std::string &linkPath, const std::string &target)
{
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink(linkPath.c_str(), buffer.data(), buffer.size() - 1);
    if (length < 0 || std::string(buffer.data(), static_cast<std::size_t>(length)) != target)
        return;
    ::unlink(linkPath.c_str());
}

} // namespace sim
