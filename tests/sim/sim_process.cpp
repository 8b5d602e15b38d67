#include "sim_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace simtest {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

bool SimProcess::start(const std::vector<std::string> &arguments, std::string &error)
{
    testing_support::ChildProcess::Launch launch;
    launch.arguments = {RX904_SIM_PATH};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    if (!m_process.start(launch, error))
        return false;
    const auto line = m_process.readLine(kPatienceMs);
    if (!line) {
        error = "the simulator printed no terminal path";
        return false;
    }
    m_path = *line;
    return true;
}

void SimProcess::signal(int number) const
{
    m_process.signal(number);
}

std::optional<int> SimProcess::waitForExit(int patienceMs)
{
    return m_process.wait(patienceMs);
}

PortClient::~PortClient()
{
    close();
}

bool PortClient::open(const std::string &path, std::string &error)
{
    close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    termios mode{};
    if (::tcgetattr(m_fd, &mode) != 0) {
        error = std::string("tcgetattr: ") + std::strerror(errno);
        return false;
    }
    ::cfmakeraw(&mode);
    mode.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&mode, B9600);
    if (::tcsetattr(m_fd, TCSANOW, &mode) != 0) {
        error = std::string("tcsetattr: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void PortClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool PortClient::write(const Bytes &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (count > 0)
            done += static_cast<std::size_t>(count);
    }
    return true;
}

Bytes PortClient::read(std::size_t count, int patienceMs)
{
    Bytes bytes;
    const auto deadline = Clock::now() + std::chrono::milliseconds(patienceMs);
    while (bytes.size() < count) {
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, remainingMs(deadline)) <= 0)
            break;
        std::uint8_t buffer[512];
        const ssize_t got = ::read(m_fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        else if (got == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return bytes;
}

Bytes PortClient::readFor(int windowMs)
{
    Bytes bytes;
    const auto deadline = Clock::now() + std::chrono::milliseconds(windowMs);
    while (remainingMs(deadline) > 0) {
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, remainingMs(deadline)) <= 0)
            continue;
        std::uint8_t buffer[512];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        else if (got == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return bytes;
}

bool PortClient::hungUp(int patienceMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(patienceMs);
    for (;;) {
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, remainingMs(deadline)) <= 0)
            return false;
        std::uint8_t buffer[512];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return true;
    }
}

CommandResult runCommand(const std::string &command)
{
    CommandResult result;
    std::FILE *pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[512];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, count);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool programInstalled(const std::string &name)
{
    return runCommand("command -v " + name + " >/dev/null").status == 0;
}

} // namespace simtest
