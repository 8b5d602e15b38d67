#pragma once
#include "pty_pair.h"
#include "serial/comm_events.h"
#include "serial/qt_serial_control.h"

#include <gtest/gtest.h>
#include <vector>

namespace serial_test {

// A control whose COM1 is the slave side of a fresh pseudo-terminal. Every OnComm is
// recorded with the CommEvent read inside the handler, as the tool's handler reads it.
class PtyControl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_pty.isOpen())
            GTEST_SKIP() << "no pseudo-terminal can be had here";
        qputenv("RX904_COM1", m_pty.slavePath().toLocal8Bit());
        QObject::connect(&m_control, &serial::SerialControl::OnComm,
                         [this] { m_events.push_back(m_control.commEvent()); });
    }

    void TearDown() override { qunsetenv("RX904_COM1"); }

    bool openControl()
    {
        m_control.setCommPort(1);
        return m_control.setPortOpen(true);
    }

    // Waits until the control holds count received bytes.
    bool waitForWaiting(int count)
    {
        return pumpUntil([&] { return m_control.inBufferCount() >= count; }) &&
               m_control.inBufferCount() == count;
    }

    PtyPair m_pty;
    serial::QtSerialControl m_control;
    std::vector<int> m_events;
};

} // namespace serial_test
