#pragma once
#include "transport.h"

#include <QByteArray>
#include <QWinEventNotifier>
#include <qt_windows.h>

namespace serial {

// A Windows serial port ("COM3", "\\.\COM12") through the Win32 calls. Reads and writes are
// overlapped: one read is always waiting on the port, and its completion, like a write's,
// sets an event that QWinEventNotifier hands to the event loop. Windows opens a COM port for
// one program at a time, so a port held elsewhere fails to open ("拒绝访问").
class Win32Transport : public Transport
{
    Q_OBJECT

public:
    explicit Win32Transport(QString location, QObject *parent = nullptr);
    ~Win32Transport() override;

    [[nodiscard]] QString location() const override { return m_location; }
    [[nodiscard]] OpenAttempt open() override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }
    void write(const QByteArray &bytes) override;
    void discardInput() override;
    [[nodiscard]] std::optional<LineSettings> line() const override { return m_line; }
    void setLine(const LineSettings &settings) override;

private:
    [[nodiscard]] bool applyLine();
    [[nodiscard]] bool startRead();
    void readDone();
    [[nodiscard]] bool startWrite();
    void writeDone();
    void lose(DWORD error);

    QString m_location;
    LineSettings m_line;
    HANDLE m_handle = INVALID_HANDLE_VALUE;

    OVERLAPPED m_readOverlapped{};
    QWinEventNotifier m_readNotifier;
    QByteArray m_readBuffer;
    bool m_reading = false;

    OVERLAPPED m_writeOverlapped{};
    QWinEventNotifier m_writeNotifier;
    QByteArray m_writing; // handed to WriteFile, which may still be sending it
    QByteArray m_queued;  // written while another write was still on its way
    bool m_writePending = false;
};

// Why an open failed, from the Win32 error: the port does not exist, another program holds
// it, or its driver refused.
[[nodiscard]] OpenFailure win32OpenFailure(unsigned long error);

} // namespace serial
