#include "pty_pair.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace serial_test {

PtyPair::PtyPair()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return;
    const char *name = ::ptsname(master);
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || name == nullptr) {
        ::close(master);
        return;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    m_master = master;
}

PtyPair::~PtyPair()
{
    closeMaster();
}

qsizetype PtyPair::trySend(const char *data, qsizetype size)
{
    const ssize_t written = ::write(m_master, data, static_cast<size_t>(size));
    return written > 0 ? written : 0;
}

bool PtyPair::send(const QByteArray &bytes)
{
    qsizetype sent = 0;
    const bool done = pumpUntil([&] {
        sent += trySend(bytes.constData() + sent, bytes.size() - sent);
        return sent == bytes.size();
    });
    return done;
}

QByteArray PtyPair::receiveAvailable()
{
    QByteArray bytes;
    char chunk[512];
    for (;;) {
        const ssize_t got = ::read(m_master, chunk, sizeof chunk);
        if (got <= 0)
            break;
        bytes.append(chunk, got);
    }
    return bytes;
}

QByteArray PtyPair::receive(qsizetype count)
{
    QByteArray bytes;
    pumpUntil([&] {
        bytes += receiveAvailable();
        return bytes.size() >= count;
    });
    return bytes;
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool pumpUntil(const std::function<bool()> &done, int timeoutMs)
{
    // The tick wakes the loop when nothing else happens, so done() is asked again.
    QTimer tick;
    tick.start(5);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void pumpRounds(int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace serial_test
