#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

namespace serial_test {

// A pseudo-terminal standing for a serial line: the control opens the slave side by its
// path, the test plays the device on the master side.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    [[nodiscard]] bool isOpen() const { return m_master >= 0; }
    [[nodiscard]] const QString &slavePath() const { return m_slavePath; }
    [[nodiscard]] int masterFd() const { return m_master; }

    // Sends bytes to whoever holds the slave side; false if they cannot all be written.
    bool send(const QByteArray &bytes);
    // Sends what fits now without waiting; the count written, 0 when the line is full.
    qsizetype trySend(const char *data, qsizetype size);
    // Runs the event loop until count bytes came from the slave side (or 10 s passed).
    QByteArray receive(qsizetype count);
    // Bytes the slave side sent that the test has not read yet, without waiting.
    QByteArray receiveAvailable();
    // The far end goes away, as when a USB adapter is unplugged.
    void closeMaster();

private:
    int m_master = -1;
    QString m_slavePath;
};

// Runs the event loop until done() holds; false if it still does not after timeoutMs.
bool pumpUntil(const std::function<bool()> &done, int timeoutMs = 10000);
// Runs the event loop for the given number of rounds of 5 ms each.
void pumpRounds(int rounds);

} // namespace serial_test
