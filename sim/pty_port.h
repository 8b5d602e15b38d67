#pragma once
#include <string>

namespace sim {

// The device's end of a pseudo-terminal. The master is ours; the slave path is the "serial
// port" that the tool opens. One slave descriptor stays open here in raw mode for the
// whole run, so that no byte is ever echoed before the tool has set its own mode and the
// tool closing its port does not hang up the master.
class PtyPort
{
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    // Opens a new pair at the given line speed; false with a reason in error.
    bool open(int baud, std::string &error);
    void close();

    [[nodiscard]] bool isOpen() const { return m_master >= 0; }
    // Non-blocking.
    [[nodiscard]] int masterFd() const { return m_master; }
    [[nodiscard]] const std::string &slavePath() const { return m_slavePath; }
    // Whether the tool's side of the terminal is set to this line speed. On Linux the master
    // reads the slave's settings; a speed the terminal cannot name is taken as matching.
    [[nodiscard]] bool toolSpeedIs(int baud) const;
    // Bytes written to the master that the tool has not read yet (0 when unknown).
    [[nodiscard]] int unreadByTool() const;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

// Makes linkPath a symbolic link to target, replacing an existing symbolic link (but
// nothing else) in one step.
bool placeLink(const std::string &linkPath, const std::string &target, std::string &error);

// Removes linkPath if it is still a symbolic link to target.
void removeLink(const std::string &linkPath, const std::string &target);

} // namespace sim
