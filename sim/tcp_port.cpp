#include "tcp_port.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>

namespace sim {

namespace {

std::string systemError(const char *what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

std::string numericAddress(const sockaddr_storage &address, socklen_t length)
{
    char host[NI_MAXHOST] = {};
    char port[NI_MAXSERV] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr *>(&address), length, host, sizeof host, port,
                      sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return {};
    // Appended one part at a time: GCC 12 at -O3 takes `"[" + std::string` for an overlapping
    // copy (-Wrestrict, GCC bug 105651) and fails the Release build.
    const bool bracketed = address.ss_family == AF_INET6;
    std::string text = bracketed ? "[" : "";
    text += host;
    text += bracketed ? "]:" : ":";
    text += port;
    return text;
}

} // namespace

TcpPort::~TcpPort()
{
    close();
}

bool TcpPort::open(const std::string &hostAndPort, std::string &error)
{
    close();
    const std::size_t colon = hostAndPort.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == hostAndPort.size()) {
        error = "--tcp: HOST:PORT is needed, e.g. 127.0.0.1:0";
        return false;
    }
    std::string host = hostAndPort.substr(0, colon);
    const std::string port = hostAndPort.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (const int failed = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); failed != 0) {
        error = "--tcp " + hostAndPort + ": " + ::gai_strerror(failed);
        return false;
    }
    std::memcpy(&m_bound, found->ai_addr, found->ai_addrlen);
    m_boundLength = found->ai_addrlen;
    ::freeaddrinfo(found);
    if (!listen(error))
        return false;
    // Port 0 is bound to a free port once; listening again keeps that one.
    m_boundLength = sizeof m_bound;
    if (::getsockname(m_listen, reinterpret_cast<sockaddr *>(&m_bound), &m_boundLength) != 0) {
        error = systemError("getsockname");
        close();
        return false;
    }
    m_address = numericAddress(m_bound, m_boundLength);
    return true;
}

bool TcpPort::listen(std::string &error)
{
    m_listen = ::socket(m_bound.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listen < 0) {
        error = systemError("socket");
        return false;
    }
    // The port is bound again while the last client's connection lingers in TIME_WAIT.
    const int on = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(m_listen, reinterpret_cast<const sockaddr *>(&m_bound), m_boundLength) != 0 ||
        ::listen(m_listen, 1) != 0) {
        error = systemError(("listen on " + numericAddress(m_bound, m_boundLength)).c_str());
        close();
        return false;
    }
    return true;
}

bool TcpPort::acceptClient(std::string &error)
{
    const int client = ::accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED)
            return true;
        error = systemError("accept");
        return false;
    }
    // A converter passes each piece of an answer on as it comes off the line.
    const int on = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_client = client;
    ::close(m_listen);
    m_listen = -1;
    return true;
}

bool TcpPort::dropClient(std::string &error)
{
    if (m_client >= 0)
        ::close(m_client);
    m_client = -1;
    return m_listen >= 0 || listen(error);
}

void TcpPort::close()
{
    if (m_client >= 0)
        ::close(m_client);
    if (m_listen >= 0)
        ::close(m_listen);
    m_client = -1;
    m_listen = -1;
}

} // namespace sim
