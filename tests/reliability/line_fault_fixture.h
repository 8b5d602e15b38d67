#pragma once
#include "e2e/tool_fixture.h"

#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace reliability {

// One outcome line for scripts/reliability-report.sh: "RELIABILITY<TAB>what<TAB>outcome".
inline void report(const std::string &what, const std::string &outcome)
{
    std::printf("RELIABILITY\t%s\t%s\n", what.c_str(), outcome.c_str());
    std::fflush(stdout);
}

// A figure of /proc/self/status in kB (VmRSS, VmHWM), 0 when it cannot be read.
inline long statusKb(const std::string &key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    }
    return 0;
}

// CRC-16/MODBUS of the bytes, written here from its definition (reflected 0xA001,
// initial 0xFFFF).
inline quint16 modbusCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

// The bytes of a received-frame text (" 01 03 ...").
inline QByteArray bytesOf(const QString &receivedText)
{
    return QByteArray::fromHex(receivedText.toLatin1());
}

// Whether a value field's text is one its display rule can give for some register value:
// field 0 in tenths (-4553.4 .. 2000.0), fields 3..6 signed (-32767 .. 32768), the others
// unsigned (0 .. 65534; 0xFFFF shows as 0).
inline bool displayable(int field, const QString &text)
{
    static const QRegularExpression tenths(QStringLiteral("^(-?)(0|[1-9][0-9]*)\\.([0-9])$"));
    static const QRegularExpression whole(QStringLiteral("^-?(0|[1-9][0-9]*)$"));
    if (field == 0) {
        const QRegularExpressionMatch match = tenths.match(text);
        if (!match.hasMatch())
            return false;
        const long value = match.captured(2).toLong() * 10 + match.captured(3).toLong();
        return match.captured(1).isEmpty() ? value <= 20000 : value >= 1 && value <= 45534;
    }
    if (!whole.match(text).hasMatch() || text == QStringLiteral("-0"))
        return false;
    const long value = text.toLong();
    if (field >= 3 && field <= 6)
        return value >= -32767 && value <= 32768 && value != -1;
    return value >= 0 && value <= 65534;
}

// A message box that stays open for a while running the event loop, as QMessageBox::exec()
// does, and records what it showed in the fixture's message list as well.
class LingeringMessageBox : public ops::MessageBox
{
public:
    LingeringMessageBox(int openMs, testing_support::FakeMessageBox &record)
        : m_openMs(openMs), m_record(record)
    {
    }

    int depth = 0;
    int deepest = 0;

    void show(const QString &text, const QString &title, ops::MessageIcon icon) override
    {
        showWithInformativeText(text, title, icon, QString());
    }

    void showWithInformativeText(const QString &text, const QString &title, ops::MessageIcon icon,
                                 const QString &informativeText) override
    {
        m_record.showWithInformativeText(text, title, icon, informativeText);
        deepest = std::max(deepest, ++depth);
        QEventLoop loop;
        QTimer::singleShot(m_openMs, &loop, &QEventLoop::quit);
        loop.exec();
        --depth;
    }

private:
    int m_openMs;
    testing_support::FakeMessageBox &m_record;
};

// The real window and serial port against rx904-sim with a fault; the simulator keeps a
// log of what it received and sent.
class LineFaultFixture : public e2e::ToolFixture
{
protected:
    QTemporaryDir m_dir;

    std::string logPath() const
    {
        return (m_dir.path() + QStringLiteral("/sim.log")).toStdString();
    }

    // box: a message box of the test's own; by default the recording one, which returns at
    // once.
    void startWithLog(std::vector<std::string> options, ops::MessageBox *box = nullptr)
    {
        options.push_back("--log");
        options.push_back(logPath());
        startSim(options);
        startWindow(box);
    }

    // Ends the simulator (if it still runs) and gives the data of its log lines of one kind
    // ("request", "answer-last").
    QStringList loggedEvents(const char *kind)
    {
        sim.signal(SIGTERM);
        (void)sim.waitForExit();
        QFile file(QString::fromStdString(logPath()));
        QStringList found;
        if (!file.open(QIODevice::ReadOnly))
            return found;
        const QString wanted = QString::fromLatin1(kind);
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QStringList parts = QString::fromLatin1(line).split(QLatin1Char(' '));
            if (parts.size() >= 3 && parts[2] == wanted)
                found << parts.mid(3).join(QLatin1Char(' '));
        }
        return found;
    }

    QStringList values() const
    {
        QStringList all;
        for (int k = 0; k < 15; ++k)
            all << value(k);
        return all;
    }

    // The event loop still runs a queued call, and a click still does its work at once:
    // the "风速控制器" preset fills its row values (and sends nothing).
    void expectResponsive()
    {
        bool ran = false;
        QTimer::singleShot(0, window.get(), [&ran] { ran = true; });
        EXPECT_TRUE(e2e::waitUntil([&] { return ran; })) << "the event loop no longer runs";
        const QString sent = text("txtCommand");
        click("cmdDefaultSet(2)");
        EXPECT_EQ(value(3), "140");
        EXPECT_EQ(value(12), "140");
        EXPECT_EQ(text("txtCommand"), sent);
    }
};

} // namespace reliability
