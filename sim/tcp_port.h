#pragma once
#include <string>
#include <sys/socket.h>

namespace sim {

// The device behind a serial device server: a listening TCP socket that serves one client at
// a time. While a client is connected the listening socket is closed, so a second client is
// refused at once, as many converters refuse it, instead of waiting for answers that never
// come; it listens again on the same address when the client leaves.
class TcpPort
{
public:
    TcpPort() = default;
    ~TcpPort();
    TcpPort(const TcpPort &) = delete;
    TcpPort &operator=(const TcpPort &) = delete;

    // Listens on "HOST:PORT" ("127.0.0.1:0" picks a free port, "[::1]:4001" for IPv6);
    // false with a reason in error.
    bool open(const std::string &hostAndPort, std::string &error);
    void close();

    // -1 while a client is connected. Non-blocking.
    [[nodiscard]] int listenFd() const { return m_listen; }
    // -1 while no client is connected. Non-blocking.
    [[nodiscard]] int clientFd() const { return m_client; }
    // The address listened on with the port the system picked: "127.0.0.1:41234".
    [[nodiscard]] const std::string &address() const { return m_address; }

    // Takes the waiting connection. True also when it went away before being taken.
    bool acceptClient(std::string &error);
    // Closes the client's connection and listens again.
    bool dropClient(std::string &error);

private:
    bool listen(std::string &error);

    sockaddr_storage m_bound{};
    socklen_t m_boundLength = 0;
    int m_listen = -1;
    int m_client = -1;
    std::string m_address;
};

} // namespace sim
