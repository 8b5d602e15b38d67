#include "win32_transport.h"

#include "port_names.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace serial {

namespace {

// One read asks for at most this much; a flood waits in the driver's buffer.
constexpr DWORD kReadChunk = 4096;
// A read waits for its first byte without bound, then returns what has come once the line
// has been quiet this long (about one character at 9600 baud): an answer arrives in a piece
// or a few, and a cut-off one is still delivered. Both Windows and wine keep to this; wine
// does not return early with "MAXDWORD, MAXDWORD, constant" timeouts.
constexpr DWORD kQuietMs = 1;

QString systemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message =
        length > 0 ? QString::fromWCharArray(text, length).trimmed()
                   : QCoreApplication::translate("serial::Win32Transport", "错误 %1").arg(error);
    LocalFree(text);
    return message;
}

BYTE dcbParity(Parity parity)
{
    switch (parity) {
    case Parity::None:
        return NOPARITY;
    case Parity::Even:
        return EVENPARITY;
    case Parity::Odd:
        return ODDPARITY;
    case Parity::Mark:
        return MARKPARITY;
    case Parity::Space:
        return SPACEPARITY;
    }
    return NOPARITY;
}

BYTE dcbStopBits(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One:
        return ONESTOPBIT;
    case StopBits::OneAndHalf:
        return ONE5STOPBITS;
    case StopBits::Two:
        return TWOSTOPBITS;
    }
    return ONESTOPBIT;
}

// The short name the user knows the port by: "\\.\COM3" → "COM3".
QString shortName(const QString &path)
{
    return path.startsWith(QLatin1String("\\\\.\\")) ? path.mid(4) : path;
}

} // namespace

OpenFailure win32OpenFailure(unsigned long error)
{
    switch (error) {
    case ERROR_SUCCESS:
        return OpenFailure::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return OpenFailure::NotFound;
    // A COM port is opened without sharing: a second open is refused whoever holds it.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return OpenFailure::Locked;
    default:
        return OpenFailure::Other;
    }
}

Win32Transport::Win32Transport(QString location, QObject *parent)
    : Transport(parent), m_location(std::move(location)), m_readNotifier(this),
      m_writeNotifier(this)
{
    m_readOverlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_writeOverlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_readNotifier.setHandle(m_readOverlapped.hEvent);
    m_writeNotifier.setHandle(m_writeOverlapped.hEvent);
    connect(&m_readNotifier, &QWinEventNotifier::activated, this, &Win32Transport::readDone);
    connect(&m_writeNotifier, &QWinEventNotifier::activated, this, &Win32Transport::writeDone);
    m_readBuffer.resize(kReadChunk);
}

Win32Transport::~Win32Transport()
{
    close();
    CloseHandle(m_readOverlapped.hEvent);
    CloseHandle(m_writeOverlapped.hEvent);
}

OpenAttempt Win32Transport::open()
{
    const QString path = windowsDevicePath(m_location);
    if (isOpen())
        return {OpenFailure::Other, path, QString()};
    m_handle =
        CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                    0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return {win32OpenFailure(error), path, systemMessage(error)};
    }
    // No total bound on reads, nor on writes: a write is done when the driver has sent it,
    // and without flow control nothing holds it back.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = kQuietMs;
    if (!applyLine() || !SetCommTimeouts(m_handle, &timeouts) ||
        !SetupComm(m_handle, kReadChunk, kReadChunk)) {
        const DWORD error = GetLastError();
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return {OpenFailure::Other, path, systemMessage(error)};
    }
    // What the driver kept from before the open is nobody's answer.
    PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    if (!startRead()) {
        const DWORD error = GetLastError();
        close();
        return {OpenFailure::Other, path, systemMessage(error)};
    }
    m_readNotifier.setEnabled(true);
    m_writeNotifier.setEnabled(true);
    return {};
}

void Win32Transport::close()
{
    if (!isOpen())
        return;
    m_readNotifier.setEnabled(false);
    m_writeNotifier.setEnabled(false);
    // The buffers and OVERLAPPED blocks belong to the driver until its calls have finished.
    CancelIoEx(m_handle, nullptr);
    DWORD ignored = 0;
    if (m_reading)
        GetOverlappedResult(m_handle, &m_readOverlapped, &ignored, TRUE);
    if (m_writePending)
        GetOverlappedResult(m_handle, &m_writeOverlapped, &ignored, TRUE);
    m_reading = false;
    m_writePending = false;
    m_writing.clear();
    m_queued.clear();
    ResetEvent(m_readOverlapped.hEvent);
    ResetEvent(m_writeOverlapped.hEvent);
    CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

void Win32Transport::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty())
        return;
    m_queued += bytes;
    emit sent(bytes, std::chrono::steady_clock::now());
    // A request that cannot leave would leave its sender waiting for an answer in silence.
    if (!m_writePending && !startWrite())
        lose(GetLastError());
}

void Win32Transport::discardInput()
{
    if (!isOpen())
        return;
    PurgeComm(m_handle, PURGE_RXCLEAR);
    // A read that has finished already holds bytes from before this call: drop them too.
    DWORD count = 0;
    if (m_reading && GetOverlappedResult(m_handle, &m_readOverlapped, &count, FALSE)) {
        m_reading = false;
        ResetEvent(m_readOverlapped.hEvent);
        if (!startRead())
            lose(GetLastError());
    }
}

void Win32Transport::setLine(const LineSettings &settings)
{
    m_line = settings;
    // A driver refusing a value keeps its previous one; the stored settings still change.
    if (isOpen())
        (void)applyLine();
}

bool Win32Transport::applyLine()
{
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(m_handle, &dcb))
        return false;
    dcb.BaudRate = static_cast<DWORD>(m_line.baudRate);
    dcb.ByteSize = static_cast<BYTE>(m_line.dataBits);
    dcb.Parity = dcbParity(m_line.parity);
    dcb.StopBits = dcbStopBits(m_line.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = m_line.parity != Parity::None;
    // No flow control: an RS-485 adapter drives the line direction itself, and DTR and RTS
    // stay on for adapters powered from them.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    // Otherwise one framing or parity error stops every read and write until ClearCommError.
    dcb.fAbortOnError = FALSE;
    return SetCommState(m_handle, &dcb) != 0;
}

// Finished at once or later, the read sets its event and its bytes come out in readDone(),
// on the event loop.
bool Win32Transport::startRead()
{
    if (!ReadFile(m_handle, m_readBuffer.data(), kReadChunk, nullptr, &m_readOverlapped) &&
        GetLastError() != ERROR_IO_PENDING)
        return false;
    m_reading = true;
    return true;
}

void Win32Transport::readDone()
{
    if (!isOpen() || !m_reading)
        return;
    DWORD count = 0;
    if (!GetOverlappedResult(m_handle, &m_readOverlapped, &count, FALSE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
        lose(error);
        return;
    }
    m_reading = false;
    const auto at = std::chrono::steady_clock::now();
    if (count > 0) {
        emit received(m_readBuffer.left(static_cast<qsizetype>(count)), at);
    } else {
        // A read ends empty only when the driver ends it: ask the driver, which fails on a
        // vanished device.
        DWORD errors = 0;
        if (!ClearCommError(m_handle, &errors, nullptr)) {
            lose(GetLastError());
            return;
        }
    }
    // A slot may have closed the line.
    if (isOpen() && !m_reading && !startRead())
        lose(GetLastError());
}

bool Win32Transport::startWrite()
{
    m_writing = m_queued;
    m_queued.clear();
    m_writePending = true;
    if (WriteFile(m_handle, m_writing.constData(), static_cast<DWORD>(m_writing.size()), nullptr,
                  &m_writeOverlapped))
        return true;
    if (GetLastError() == ERROR_IO_PENDING)
        return true;
    m_writePending = false;
    return false;
}

void Win32Transport::writeDone()
{
    if (!isOpen() || !m_writePending)
        return;
    DWORD count = 0;
    if (!GetOverlappedResult(m_handle, &m_writeOverlapped, &count, FALSE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
        m_writePending = false;
        lose(error);
        return;
    }
    m_writePending = false;
    // The event stays set until the next WriteFile; left set, it would wake the loop again.
    ResetEvent(m_writeOverlapped.hEvent);
    if (static_cast<qsizetype>(count) != m_writing.size()) {
        lose(ERROR_WRITE_FAULT);
        return;
    }
    m_writing.clear();
    if (!m_queued.isEmpty() && !startWrite())
        lose(GetLastError());
}

// Closing at once ends the pending read, which would otherwise fail without end on a
// vanished adapter. The signal waits for the event loop, as the loss can show inside write().
void Win32Transport::lose(DWORD error)
{
    const QString cause = tr("设备 %1 已断开（系统报告：%2）")
                              .arg(shortName(windowsDevicePath(m_location)), systemMessage(error));
    close();
    QMetaObject::invokeMethod(
        this, [this, cause] { emit lost(cause); }, Qt::QueuedConnection);
}

} // namespace serial
