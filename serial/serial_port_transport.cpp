#include "serial_port_transport.h"

#include <QMetaObject>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <sys/file.h>
#endif

namespace serial {

namespace {

// Neither QSerialPort nor the tool reads further ahead than this: a flood waits in the
// system's buffer instead of piling up in memory.
constexpr qint64 kReadBufferSize = 4096;

OpenFailure openFailureOf(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return OpenFailure::None;
    case QSerialPort::DeviceNotFoundError:
        return OpenFailure::NotFound;
    case QSerialPort::PermissionError:
        return OpenFailure::Permission;
    default:
        return OpenFailure::Other;
    }
}

QSerialPort::Parity qtParity(Parity parity)
{
    switch (parity) {
    case Parity::None:
        return QSerialPort::NoParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One:
        return QSerialPort::OneStop;
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

} // namespace

SerialPortTransport::SerialPortTransport(QString systemLocation, QObject *parent)
    : Transport(parent), m_location(std::move(systemLocation)), m_port(this)
{
    m_port.setReadBufferSize(kReadBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPortTransport::readAll);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortTransport::errorOccurred);
}

SerialPortTransport::~SerialPortTransport()
{
    // Nothing the port reports while it goes may reach a half-destroyed object.
    disconnect(&m_port, nullptr, this, nullptr);
    close();
}

OpenAttempt SerialPortTransport::open()
{
    if (m_port.isOpen())
        return {OpenFailure::Other, m_location, QString()};
    m_port.setPortName(m_location);
    // QSerialPort applies the settings while opening and fails the open if the device
    // refuses one of them.
    applyLine();
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite))
        return {openFailureOf(m_port.error()), m_location, m_port.errorString()};
    if (!holdExclusively()) {
        close();
        return {OpenFailure::Locked, m_location, QString()};
    }
    // What the system kept from before the open is nobody's answer.
    m_port.clear(QSerialPort::Input);
    return {};
}

void SerialPortTransport::close()
{
    if (!m_port.isOpen() || m_closing)
        return;
    // Restoring the line settings of a vanished device fails inside close(); that error must
    // not start a second close.
    m_closing = true;
    m_port.close();
    m_closing = false;
}

void SerialPortTransport::write(const QByteArray &bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return;
    bool written = m_port.write(bytes) == bytes.size();
    emit sent(bytes, std::chrono::steady_clock::now());
    // QSerialPort writes on the event loop's next pass; the request goes out now, as the
    // polling period depends on it. On Windows flush() waits for the line, which the event
    // loop must not, and there the write starts at once anyway.
#ifdef Q_OS_UNIX
    written = written && (m_port.flush() || m_port.bytesToWrite() == 0);
#endif
    // A request that cannot leave would leave its sender waiting for an answer in silence.
    if (!written && m_port.isOpen())
        lose();
}

void SerialPortTransport::discardInput()
{
    if (!m_port.isOpen())
        return;
    m_port.clear(QSerialPort::Input);
}

void SerialPortTransport::setLine(const LineSettings &settings)
{
    m_line = settings;
    // A device refusing a value keeps its previous one; the stored settings still change.
    if (m_port.isOpen())
        applyLine();
}

void SerialPortTransport::applyLine()
{
    m_port.setBaudRate(m_line.baudRate);
    m_port.setParity(qtParity(m_line.parity));
    // QSerialPort's Data5 … Data8 are the numbers 5 … 8.
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(m_line.dataBits));
    m_port.setStopBits(qtStopBits(m_line.stopBits));
}

void SerialPortTransport::readAll()
{
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        emit received(bytes, std::chrono::steady_clock::now());
}

void SerialPortTransport::errorOccurred(QSerialPort::SerialPortError error)
{
    if (m_closing || !m_port.isOpen())
        return;
    const bool gone = error == QSerialPort::ResourceError || error == QSerialPort::WriteError ||
                      (error == QSerialPort::ReadError && hungUp());
    if (gone)
        lose();
}

// Closing at once stops the read notifier, which would otherwise fire without end on a
// hung-up device. The signal waits for the event loop, as the loss can show inside write().
void SerialPortTransport::lose()
{
    close();
    const QString cause = tr("设备 %1 已断开").arg(m_location);
    QMetaObject::invokeMethod(
        this, [this, cause] { emit lost(cause); }, Qt::QueuedConnection);
}

// QSerialPort keeps other Qt programs out with a lock file and other programs with
// TIOCEXCL, which does not stop a program running as root. An exclusive flock() on the
// device also stops the programs that take one (picocom, pyserial with exclusive=True) and
// ends with the process, so a crash leaves nothing behind.
bool SerialPortTransport::holdExclusively()
{
#ifdef Q_OS_UNIX
    if (::flock(static_cast<int>(m_port.handle()), LOCK_EX | LOCK_NB) == 0)
        return true;
    // Devices whose driver has no locks at all are still opened.
    return errno != EWOULDBLOCK;
#else
    // Windows opens a COM port without sharing, which is exclusive already.
    return true;
#endif
}

// After a hangup (USB adapter unplugged, the far end of a pseudo-terminal closed) read()
// returns 0 and QSerialPort reports a ReadError with a stale errno; poll() tells.
bool SerialPortTransport::hungUp() const
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

} // namespace serial
