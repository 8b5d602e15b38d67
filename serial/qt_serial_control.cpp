#include "qt_serial_control.h"

#include "open_failure_probe.h"
#include "port_names.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <sys/file.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace serial {

namespace {

// Bytes taken from QSerialPort per read call; the rest of a flood waits in the system's
// buffer until the next readyRead.
constexpr qint64 kReadChunkSize = 1024;
// VMIN is one byte (cc_t).
constexpr qsizetype kMaxWakeCount = 255;
// Reading resumes this long before the awaited answer can be complete at the earliest: the
// resuming timer counts whole milliseconds and comes up to one late, more on a busy machine.
constexpr std::chrono::milliseconds kQuietMargin(2);

} // namespace

QtSerialControl::QtSerialControl(QObject *parent) : SerialControl(parent), m_port(this)
{
    m_inBuffer.reserve(kInBufferSize);
    // QSerialPort reads no further ahead than this, so a flood never piles up in its buffer
    // either; readArrived() empties it every time.
    m_port.setReadBufferSize(kInBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialControl::readArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialControl::portErrorOccurred);
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_quietTimer, &QTimer::timeout, this, &QtSerialControl::quietTimeOver);
}

QtSerialControl::~QtSerialControl()
{
    // Nothing QSerialPort reports while it goes may reach a half-destroyed object.
    disconnect(&m_port, nullptr, this, nullptr);
    closePort();
}

void QtSerialControl::setCommPort(int port)
{
    if (port < kFirstPort || port > kLastPort)
        return;
    m_commPort = port;
}

int QtSerialControl::commPort() const
{
    return m_commPort;
}

void QtSerialControl::setSettings(const QString &settings)
{
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed)
        return;
    m_settings = *parsed;
    if (m_port.isOpen())
        applySettings();
}

LineSettings QtSerialControl::lineSettings() const
{
    return m_settings;
}

bool QtSerialControl::portOpen() const
{
    return m_port.isOpen();
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
    if (m_port.isOpen())
        return false;
    const std::optional<DeviceInfo> device = resolvePort(m_commPort);
    if (!device) {
        m_lastOpen = {OpenFailure::NoDevice, QString(), QString()};
        return false;
    }
    m_port.setPortName(device->systemLocation);
    m_port.setBaudRate(m_settings.baudRate);
    m_port.setParity(m_settings.parity);
    m_port.setDataBits(m_settings.dataBits);
    m_port.setStopBits(m_settings.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // QSerialPort applies the stored settings while opening and fails the open if the
    // device refuses one of them.
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
    m_wakeCount = 0;
    m_readNotifier = nullptr;
    m_lineTiming = LineTiming::Unknown;
    m_answerTimed = false;
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
    m_quietTimer.stop();
    m_quiet = false;
    discardReceived();
    if (!m_port.isOpen() || m_closing)
        return;
    // Restoring the line settings of a vanished device fails inside close(); that error
    // must not start a second close.
    m_closing = true;
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

void QtSerialControl::applySettings()
{
    // A device refusing a value keeps its previous one; the stored settings still change.
    m_port.setBaudRate(m_settings.baudRate);
    m_port.setParity(m_settings.parity);
    m_port.setDataBits(m_settings.dataBits);
    m_port.setStopBits(m_settings.stopBits);
    // QSerialPort may have written its own VMIN back.
    m_wakeCount = 0;
    armWakeCount();
}

void QtSerialControl::setInputMode(int mode)
{
    if (mode == kInputModeText || mode == kInputModeBinary)
        m_inputMode = mode;
}

int QtSerialControl::inputMode() const
{
    return m_inputMode;
}

void QtSerialControl::setInputLen(int length)
{
    if (length >= 0)
        m_inputLen = length;
}

int QtSerialControl::inputLen() const
{
    return m_inputLen;
}

void QtSerialControl::setInBufferCount(int count)
{
    if (count != 0)
        return;
    endQuietTime();
    discardReceived();
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

int QtSerialControl::inBufferCount() const
{
    // Bytes still in the terminal below the wake count count as received; those that will
    // not fit when taken in do not.
    const qsizetype held = m_inBuffer.size() + m_port.bytesAvailable() + systemHolds();
    return static_cast<int>(std::min(held, kInBufferSize));
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

int QtSerialControl::sThreshold() const
{
    return m_sThreshold;
}

void QtSerialControl::setRThreshold(int threshold)
{
    if (threshold < 0)
        return;
    endQuietTime();
    // Bytes that came before the new threshold raise nothing by it, as the control had
    // already taken them in.
    takeWaiting();
    m_rThreshold = threshold;
    armWakeCount();
}

int QtSerialControl::rThreshold() const
{
    return m_rThreshold;
}

void QtSerialControl::setOutput(const QByteArray &bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return;
    m_port.write(bytes);
#ifdef Q_OS_UNIX
    // QSerialPort would write on the event loop's next pass; the request goes out now, as
    // the period's timing depends on it. Here flush() writes without blocking; on Windows it
    // waits until the line has sent every byte, which the event loop must not.
    m_port.flush();
#endif
    awaitAnswer(bytes.size());
}

QByteArray QtSerialControl::input()
{
    endQuietTime();
    takeWaiting();
    QByteArray taken;
    if (m_inputLen > 0 && m_inputLen < m_inBuffer.size()) {
        taken = m_inBuffer.left(m_inputLen);
        m_inBuffer.remove(0, m_inputLen);
    } else {
        taken = m_inBuffer;
        m_inBuffer.clear();
        m_inBuffer.reserve(kInBufferSize);
    }
    if (m_inBuffer.size() < kInBufferSize)
        m_overrun = false;
    armWakeCount();
    return taken;
}

int QtSerialControl::commEvent() const
{
    return m_commEvent;
}

void QtSerialControl::readArrived()
{
    qsizetype added = 0;
    bool overrunStarted = false;
    char chunk[kReadChunkSize];
    for (;;) {
        const qint64 got = m_port.read(chunk, kReadChunkSize);
        if (got <= 0)
            break;
        const qint64 room = kInBufferSize - m_inBuffer.size();
        const qint64 kept = std::min(got, room);
        m_inBuffer.append(chunk, kept);
        added += kept;
        if (kept < got && !m_overrun) {
            m_overrun = true;
            overrunStarted = true;
        }
    }

    if (m_takingWaiting) {
        if (overrunStarted)
            QMetaObject::invokeMethod(
                this, [this] { raise(kComEventRxOver); }, Qt::QueuedConnection);
        return;
    }
    QPointer<QtSerialControl> alive(this);
    if (added > 0 && m_rThreshold > 0 && m_inBuffer.size() >= m_rThreshold) {
        learnLineTiming();
        raise(kComEvReceive);
        if (!alive)
            return;
    }
    if (overrunStarted) {
        raise(kComEventRxOver);
        if (!alive)
            return;
    }
    armWakeCount();
}

// Linux: with VTIME 0, poll() reports a terminal readable only once VMIN bytes wait, while a
// non-blocking read still returns whatever is there. Bytes below the receive threshold raise
// nothing, so the event loop need not wake for each of them: a 35-byte answer at 38400 baud
// comes one byte per 0.26 ms, 35 passes of the loop without this, one with it.
void QtSerialControl::armWakeCount()
{
    const qsizetype missing = m_rThreshold - m_inBuffer.size();
    setWakeCount(static_cast<int>(std::clamp<qsizetype>(missing, 1, kMaxWakeCount)));
}

void QtSerialControl::setWakeCount(int count)
{
#ifdef Q_OS_LINUX
    if (!m_port.isOpen() || count == m_wakeCount)
        return;
    termios mode{};
    if (::tcgetattr(m_port.handle(), &mode) != 0)
        return;
    mode.c_cc[VMIN] = static_cast<cc_t>(count);
    mode.c_cc[VTIME] = 0;
    if (::tcsetattr(m_port.handle(), TCSANOW, &mode) == 0)
        m_wakeCount = count;
#else
    Q_UNUSED(count);
#endif
}

qsizetype QtSerialControl::systemHolds() const
{
#ifdef Q_OS_LINUX
    int count = 0;
    if (m_port.isOpen() && ::ioctl(m_port.handle(), TIOCINQ, &count) == 0)
        return count;
#endif
    return 0;
}

// Takes in the bytes waiting below the wake count as the event loop would have, without an
// event, for the calls that must see every byte received so far.
void QtSerialControl::takeWaiting()
{
    if (!m_port.isOpen() || (systemHolds() == 0 && m_port.bytesAvailable() == 0))
        return;
    setWakeCount(1);
    m_takingWaiting = true;
    if (systemHolds() > 0)
        (void)m_port.waitForReadyRead(0);
    readArrived();
    m_takingWaiting = false;
}

// The terminal wakes the event loop for every byte that arrives, VMIN or not. An answer
// armed by the receive threshold cannot be complete before the request has gone out, the
// line has been silent for a frame gap and the missing bytes have come in, so until then
// QSerialPort need not watch the port: a 35-byte answer then costs a handful of wake-ups
// instead of 35. Bytes wait in the system meanwhile and nothing is lost; the port is
// watched again shortly before the earliest possible end. Only on a port whose answers have
// shown that they take line time, and only where QSerialPort watches the port with a socket
// notifier (Unix).
void QtSerialControl::awaitAnswer(qsizetype requestBytes)
{
    endQuietTime();
    m_answerTimed = false;
    const qsizetype held = inBufferCount();
    const qsizetype missing = m_rThreshold - held;
    if (missing <= 0)
        return;
    const std::chrono::nanoseconds earliestEnd =
        characterTime(m_settings) * (requestBytes + missing) + frameSilence(m_settings);
    const auto now = std::chrono::steady_clock::now();
    m_earliestAnswerEnd = now + earliestEnd;
    m_answerTimed = true;

    QSocketNotifier *notifier = portReadNotifier();
    const auto quiet = std::chrono::floor<std::chrono::milliseconds>(earliestEnd) - kQuietMargin;
    if (m_lineTiming != LineTiming::BoundBySpeed || notifier == nullptr || quiet.count() <= 0)
        return;
    notifier->setEnabled(false);
    m_quiet = true;
    m_quietSince = now;
    m_heldWhenQuiet = held;
    m_quietTimer.start(quiet);
}

// The first answer after opening tells how the port keeps time. One complete before the line
// could have carried it came from a pseudo-terminal or from a USB device that only claims a
// speed; such a port is never kept quiet, so it is never slowed down.
void QtSerialControl::learnLineTiming()
{
    if (!m_answerTimed)
        return;
    m_answerTimed = false;
    if (m_lineTiming == LineTiming::Unknown)
        m_lineTiming = std::chrono::steady_clock::now() < m_earliestAnswerEnd
                           ? LineTiming::FasterThanSpeed
                           : LineTiming::BoundBySpeed;
}

// Ends a quiet time, when its timer runs out or earlier when the tool turns to the input.
// More bytes than the line could have carried meanwhile show the port faster than its speed
// after all, and it is not kept quiet again.
void QtSerialControl::endQuietTime()
{
    if (!m_quiet)
        return;
    m_quiet = false;
    m_quietTimer.stop();
    const auto elapsed = std::chrono::steady_clock::now() - m_quietSince;
    const qsizetype carried = inBufferCount() - m_heldWhenQuiet;
    if (carried > elapsed / characterTime(m_settings) + 1)
        m_lineTiming = LineTiming::FasterThanSpeed;
    if (QSocketNotifier *notifier = portReadNotifier())
        notifier->setEnabled(true);
}

void QtSerialControl::quietTimeOver()
{
    endQuietTime();
    // An answer already complete is raised in this pass of the event loop, before a request
    // due at the same moment could discard it.
    if (m_port.isOpen() && m_rThreshold > 0 && inBufferCount() >= m_rThreshold) {
        setWakeCount(1);
        (void)m_port.waitForReadyRead(0);
    }
}

QSocketNotifier *QtSerialControl::portReadNotifier()
{
    if (!m_port.isOpen())
        return nullptr;
    if (m_readNotifier == nullptr) {
        const auto notifiers = m_port.findChildren<QSocketNotifier *>(Qt::FindDirectChildrenOnly);
        // A port closed and opened again in one handler still has its old notifier, disabled
        // and waiting for deletion, on what may be the same descriptor number.
        for (QSocketNotifier *notifier : notifiers) {
            if (notifier->type() == QSocketNotifier::Read && notifier->isEnabled() &&
                notifier->socket() == m_port.handle())
                m_readNotifier = notifier;
        }
    }
    return m_readNotifier;
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
    const bool lost =
        error == QSerialPort::ResourceError || (error == QSerialPort::ReadError && deviceHungUp());
    if (!lost)
        return;
    // Closing at once stops the read notifier, which would otherwise fire without end on a
    // hung-up device. The event waits for the event loop, as this error can arise inside
    // one of the calls above (clearing the buffers of a vanished device).
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
    armWakeCount();
}

} // namespace serial
