#pragma once
#include "operations/comm_adapter.h"
#include "pty_pair.h"
#include "serial/comm_events.h"
#include "serial/port_directory.h"

#include <gtest/gtest.h>
#include <vector>

namespace serial_test {

// The main window's control on the real serial transport, its COM1 the slave side of a fresh
// pseudo-terminal. Every OnComm is recorded with the CommEvent read inside the handler, as the
// tool's handler reads it.
class PtyControl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_pty.isOpen())
            GTEST_SKIP() << "no pseudo-terminal can be had here";
        mapPort(1, m_pty.slavePath());
        QObject::connect(&m_control, &ops::CommControl::OnComm,
                         [this] { m_events.push_back(m_control.commEvent()); });
    }

    // COMn reaches the device from the next open on.
    void mapPort(int port, const QString &device)
    {
        m_map.set(port, device, serial::PortOrigin::Environment);
        m_ports = serial::PortDirectory(m_map);
    }

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
    serial::PortMap m_map;
    serial::PortDirectory m_ports;
    ops::CommAdapter m_control{m_ports};
    std::vector<int> m_events;
};

} // namespace serial_test
