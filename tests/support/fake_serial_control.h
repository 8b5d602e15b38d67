#pragma once
#include "operations/comm_control.h"
#include "serial/comm_events.h"
#include "serial/port_directory.h"

#include <QStringList>
#include <set>

namespace testing_support {

// A serial-port control that records what is done to the port, in order ("RThreshold=35",
// "Output=01 03 00 00 00 0F 05 CE", "Input" for bytes taken), and answers its getters from
// settable state.
class FakeSerialControl : public ops::CommControl
{
public:
    QStringList log;
    std::set<int> missingPorts; // COMn that cannot be opened
    bool open = false;
    int port = 1;
    QString settings;
    int rThresholdValue = 0;
    int event = serial::kComEvReceive;
    QByteArray inBuffer;
    QList<QByteArray> written;
    QString failureCause; // what openFailureCause() gives

    void setCommPort(int n) override
    {
        log << QStringLiteral("CommPort=%1").arg(n);
        port = n;
    }
    int commPort() const override { return port; }
    void setSettings(const QString &s) override
    {
        log << QStringLiteral("Settings=") + s;
        settings = s;
    }
    bool portOpen() const override { return open; }
    bool setPortOpen(bool wanted) override
    {
        log << (wanted ? QStringLiteral("PortOpen=true") : QStringLiteral("PortOpen=false"));
        if (!wanted) {
            open = false;
            return true;
        }
        if (open || missingPorts.count(port))
            return false;
        open = true;
        return true;
    }
    QString openFailureCause() const override { return failureCause; }
    void setInputMode(int mode) override { log << QStringLiteral("InputMode=%1").arg(mode); }
    void setInputLen(int length) override { log << QStringLiteral("InputLen=%1").arg(length); }
    void setInBufferCount(int count) override
    {
        log << QStringLiteral("InBufferCount=%1").arg(count);
        if (count == 0)
            inBuffer.clear();
    }
    int inBufferCount() const override { return static_cast<int>(inBuffer.size()); }
    void setOutBufferCount(int count) override
    {
        log << QStringLiteral("OutBufferCount=%1").arg(count);
    }
    void setSThreshold(int t) override { log << QStringLiteral("SThreshold=%1").arg(t); }
    void setRThreshold(int t) override
    {
        log << QStringLiteral("RThreshold=%1").arg(t);
        rThresholdValue = t;
    }
    int rThreshold() const override { return rThresholdValue; }
    void setOutput(const QByteArray &bytes) override
    {
        log << QStringLiteral("Output=") + QString::fromLatin1(bytes.toHex(' ').toUpper());
        if (open)
            written << bytes;
    }
    QByteArray input() override
    {
        log << QStringLiteral("Input");
        return std::exchange(inBuffer, {});
    }
    int commEvent() const override { return event; }
    // The devices the environment and the system name, as the tool's own control gives them.
    QStringList portToolTips() override
    {
        serial::PortDirectory ports(serial::PortMap::fromEnvironment());
        return ports.describePorts();
    }

    // Bytes arriving from the line, reported as the real control would.
    void receive(const QByteArray &bytes)
    {
        inBuffer += bytes;
        if (rThresholdValue > 0 && inBuffer.size() >= rThresholdValue) {
            event = serial::kComEvReceive;
            emit OnComm();
        }
    }
};

} // namespace testing_support
