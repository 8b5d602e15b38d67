#include "qt_serial_control.h"

#include "open_failure_probe.h"
#include "port_names.h"
#include "tcp_device.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <sys/file.h>
#endif

namespace serial {

namespace {

// Bytes taken from QSerialPort per read call; the rest of a flood waits in the system's
// buffer until the next readyRead.
constexpr qint64 kReadChunkSize = 1024;

} // namespace

QtSerialControl::QtSerialControl(QObject *parent)
    : SerialControl(parent), m_port(this), m_socket(this)
{
    m_inBuffer.reserve(kInBufferSize);
    // Neither reads further ahead than this, so a flood never piles up in their buffers
    // either; takeIn() empties them every time.
    m_port.setReadBufferSize(kInBufferSize);
    m_socket.setReadBufferSize(kInBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, [this] { takeIn(RaiseEvents::Yes); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialControl::portErrorOccurred);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { takeIn(RaiseEvents::Yes); });
    // Every end of a connection passes here (closed by the far end, reset, a failed write);
    // a failed connect does not.
    connect(&m_socket, &QTcpSocket::disconnected, this, &QtSerialControl::connectionDropped);
}

QtSerialControl::~QtSerialControl()
{
    // Nothing the port or socket reports while it goes may reach a half-destroyed object.
    disconnect(&m_port, nullptr, this, nullptr);
    disconnect(&m_socket, nullptr, this, nullptr);
    closePort();
}

void QtSerialControl::setCommPort(int port)
{
    if (port < kFirstPort || port > kLastPort)
        return;
    m_commPort = port;
}

void QtSerialControl::setSettings(const QString &settings)
{
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed)
        return;
    m_settings = *parsed;
    // A device refusing a value keeps its previous one; the stored settings still change.
    if (m_port.isOpen())
        applySettings(m_port);
}

bool QtSerialControl::portOpen() const
{
    return m_device->isOpen();
}

bool QtSerialControl::setPortOpen(bool open)
{
    if (!open) {
        closePort();
        return true;
    }
    return openPort();
}

// Opening an open port fails and leaves it open, as the classic control raises "port
// already open" there: a caller that wants a fresh start closes first.
bool QtSerialControl::openPort()
{
    if (m_device->isOpen())
        return false;
    const std::optional<DeviceInfo> device = resolvePort(m_commPort);
    if (!device) {
        m_lastOpen = {OpenFailure::NoDevice, QString(), QString()};
        return false;
    }
    if (isTcpDevice(device->systemLocation)) {
        m_device = &m_socket;
        m_lastOpen = connectToDeviceServer(m_socket, device->systemLocation);
        discardReceived();
        return m_lastOpen.failure == OpenFailure::None;
    }
    m_device = &m_port;
    m_port.setPortName(device->systemLocation);
    // QSerialPort applies the stored settings while opening and fails the open if the
    // device refuses one of them.
    applySettings(m_port);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_lastOpen = {openFailureOf(m_port.error()), device->systemLocation, m_port.errorString()};
        return false;
    }
    if (!holdExclusively()) {
        m_lastOpen = {OpenFailure::Locked, device->systemLocation, QString()};
        closePort();
        return false;
    }
    m_lastOpen = {};
    discardReceived();
    return true;
}

QString QtSerialControl::openFailureCause() const
{
    if (m_lastOpen.failure == OpenFailure::None)
        return QString();
    return explainOpenFailure(m_commPort, m_lastOpen);
}

void QtSerialControl::closePort()
{
    discardReceived();
    if (!m_device->isOpen() || m_closing)
        return;
    // Restoring the line settings of a vanished device fails inside close(); that error
    // must not start a second close, nor may the disconnected() of closing a socket. Every
    // request was written at once, so abort() drops nothing waiting to be sent.
    m_closing = true;
    if (overTcp())
        m_socket.abort();
    else
        m_port.close();
    m_closing = false;
}

// QSerialPort keeps other Qt programs out with a lock file and other programs with
// TIOCEXCL, which does not stop a program running as root. An exclusive flock() on the
// device also stops the programs that take one (picocom, pyserial with exclusive=True) and
// ends with the process, so a crash leaves nothing behind.
bool QtSerialControl::holdExclusively()
{
#ifdef Q_OS_UNIX
    if (::flock(m_port.handle(), LOCK_EX | LOCK_NB) == 0)
        return true;
    // Devices whose driver has no locks at all are still opened.
    return errno != EWOULDBLOCK;
#else
    // Windows opens a COM port without sharing, which is exclusive already.
    return true;
#endif
}

std::optional<LineSettings> QtSerialControl::line() const
{
    if (overTcp())
        return std::nullopt;
    return m_settings;
}

void QtSerialControl::applySettings(QSerialPort &port) const
{
    port.setBaudRate(m_settings.baudRate);
    port.setParity(m_settings.parity);
    port.setDataBits(m_settings.dataBits);
    port.setStopBits(m_settings.stopBits);
}

void QtSerialControl::setInputMode(int mode)
{
    if (mode == kInputModeText || mode == kInputModeBinary)
        m_inputMode = mode;
}

void QtSerialControl::setInputLen(int length)
{
    if (length >= 0)
        m_inputLen = length;
}

void QtSerialControl::setInBufferCount(int count)
{
    if (count != 0)
        return;
    discardReceived();
    // Bytes the system holds but QSerialPort has not read yet go too.
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
    else if (m_socket.isOpen())
        m_socket.skip(m_socket.bytesAvailable());
}

int QtSerialControl::inBufferCount() const
{
    return static_cast<int>(
        std::min(m_inBuffer.size() + m_device->bytesAvailable(), kInBufferSize));
}

void QtSerialControl::setOutBufferCount(int count)
{
    if (count == 0 && m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

void QtSerialControl::setSThreshold(int threshold)
{
    if (threshold >= 0)
        m_sThreshold = threshold;
}

void QtSerialControl::setRThreshold(int threshold)
{
    if (threshold >= 0)
        m_rThreshold = threshold;
}

void QtSerialControl::setOutput(const QByteArray &bytes)
{
    if (!m_device->isOpen() || bytes.isEmpty())
        return;
    bool written = m_device->write(bytes) == bytes.size();
    emit trafficSent(bytes, std::chrono::steady_clock::now());
    // Both would write on the event loop's next pass; the request goes out now, as the
    // period's timing depends on it. flush() writes without blocking, but a port's on Windows
    // waits until the line has sent every byte, which the event loop must not.
    if (overTcp())
        written = written && (m_socket.flush() || m_socket.bytesToWrite() == 0);
#ifdef Q_OS_UNIX
    else
        written = written && (m_port.flush() || m_port.bytesToWrite() == 0);
#endif
    // A request that cannot leave would leave the tool waiting for an answer in silence.
    if (!written && m_device->isOpen())
        losePort();
}

QByteArray QtSerialControl::input()
{
    takeIn(RaiseEvents::No);
    QByteArray taken;
    if (m_inputLen > 0 && m_inputLen < m_inBuffer.size()) {
        taken = m_inBuffer.left(m_inputLen);
        m_inBuffer.remove(0, m_inputLen);
    } else {
        taken.swap(m_inBuffer);
        m_inBuffer.reserve(kInBufferSize);
    }
    if (m_inBuffer.size() < kInBufferSize)
        m_overrun = false;
    return taken;
}

// Takes what QSerialPort holds into the bounded buffer. From readyRead it raises the
// receive event once the threshold is met; from input() it only takes the bytes in, as no
// event may be raised from inside a call.
void QtSerialControl::takeIn(RaiseEvents events)
{
    qsizetype added = 0;
    bool overrunStarted = false;
    char chunk[kReadChunkSize];
    for (;;) {
        const qint64 got = m_device->read(chunk, kReadChunkSize);
        if (got <= 0)
            break;
        const qint64 kept = std::min(got, kInBufferSize - m_inBuffer.size());
        m_inBuffer.append(chunk, kept);
        added += kept;
        if (kept < got && !m_overrun) {
            m_overrun = true;
            overrunStarted = true;
        }
    }
    // An observer only looks; it never closes or deletes the control.
    if (added > 0)
        emit trafficReceived(m_inBuffer.right(added), std::chrono::steady_clock::now());
    if (events == RaiseEvents::No) {
        if (overrunStarted)
            QMetaObject::invokeMethod(
                this, [this] { raise(kComEventRxOver); }, Qt::QueuedConnection);
        return;
    }
    QPointer<QtSerialControl> alive(this);
    if (added > 0 && m_rThreshold > 0 && m_inBuffer.size() >= m_rThreshold) {
        raise(kComEvReceive);
        if (!alive)
            return;
    }
    if (overrunStarted)
        raise(kComEventRxOver);
}

void QtSerialControl::raise(int event)
{
    m_commEvent = event;
    emit OnComm();
}

void QtSerialControl::portErrorOccurred(QSerialPort::SerialPortError error)
{
    if (m_closing || !m_port.isOpen())
        return;
    const bool lost = error == QSerialPort::ResourceError || error == QSerialPort::WriteError ||
                      (error == QSerialPort::ReadError && deviceHungUp());
    if (lost)
        losePort();
}

void QtSerialControl::connectionDropped()
{
    if (!m_closing && overTcp() && m_socket.isOpen())
        losePort();
}

// Closing at once stops the read notifier, which would otherwise fire without end on a
// hung-up device. The event waits for the event loop, as the loss can show inside one of
// the calls above (a write, or clearing the buffers of a vanished device).
void QtSerialControl::losePort()
{
    closePort();
    QMetaObject::invokeMethod(
        this, [this] { raise(kComEventPortLost); }, Qt::QueuedConnection);
}

// After a hangup (USB adapter unplugged, the far end of a pseudo-terminal closed) read()
// returns 0 and QSerialPort reports a ReadError with a stale errno; poll() tells.
bool QtSerialControl::deviceHungUp() const
{
#ifdef Q_OS_UNIX
    pollfd device{static_cast<int>(m_port.handle()), POLLIN, 0};
    if (::poll(&device, 1, 0) < 0)
        return false;
    return (device.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
}

void QtSerialControl::discardReceived()
{
    m_inBuffer.clear();
    m_inBuffer.reserve(kInBufferSize);
    m_overrun = false;
}

} // namespace serial
