#include "tool_fixture.h"

#include <modbus/modbus.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

using namespace e2e;

namespace {

// libmodbus as an independent RTU server on the master side of a pseudo-terminal whose
// slave side is the tool's COM1. libmodbus checks every request's CRC and framing and
// answers only what it accepts; it also refuses function 0x26, which it does not know.
class LibmodbusServer
{
public:
    static constexpr int kStation = 1;
    static constexpr int kRegisters = 0x0B01;

    bool start(std::string &error)
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            error = "no pseudo-terminal";
            return false;
        }
        m_path = ptsname(m_master);
        // Keep the slave open so that the tool closing it never hangs up the master.
        m_slaveHold = ::open(m_path.c_str(), O_RDWR | O_NOCTTY);
        m_context = modbus_new_rtu(m_path.c_str(), 9600, 'N', 8, 1);
        m_map = modbus_mapping_new(0, 0, kRegisters, 0);
        if (!m_context || !m_map) {
            error = "libmodbus could not be set up";
            return false;
        }
        modbus_set_slave(m_context, kStation);
        modbus_set_socket(m_context, m_master);
        modbus_set_indication_timeout(m_context, 0, 100000);
        // After a frame it cannot read, libmodbus waits and flushes, so it finds the start
        // of the next request again.
        modbus_set_error_recovery(m_context, MODBUS_ERROR_RECOVERY_PROTOCOL);
        m_thread = std::thread([this] { serve(); });
        return true;
    }

    ~LibmodbusServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_context) {
            modbus_set_socket(m_context, -1);
            modbus_free(m_context);
        }
        if (m_map)
            modbus_mapping_free(m_map);
        if (m_slaveHold >= 0)
            ::close(m_slaveHold);
        if (m_master >= 0)
            ::close(m_master);
    }

    const std::string &path() const { return m_path; }
    std::uint16_t *registers() { return m_map->tab_registers; }
    int accepted() const { return m_accepted; }

private:
    void serve()
    {
        std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!m_stop) {
            const int length = modbus_receive(m_context, query);
            if (length > 0) {
                ++m_accepted;
                modbus_reply(m_context, query, length, m_map);
            }
        }
    }

    int m_master = -1;
    int m_slaveHold = -1;
    std::string m_path;
    modbus_t *m_context = nullptr;
    modbus_mapping_t *m_map = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
};

} // namespace

class ToolAgainstLibmodbus : public ToolFixture
{
protected:
    LibmodbusServer server;

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(server.start(error)) << error;
        const std::uint16_t values[15] = {235,    1, 0,     800, 65534,  0x8000, 0xFF9D, 2,
                                          0x9600, 1, 50000, 0,   0xFFFF, 20001,  5};
        for (int k = 0; k < 15; ++k)
            server.registers()[k] = values[k];
        qputenv("RX904_COM1", QByteArray::fromStdString(server.path()));
        startWindow();
        ASSERT_TRUE(port->portOpen());
    }
};

TEST_F(ToolAgainstLibmodbus, QueryIsAcceptedAndItsAnswerDecoded)
{
    click("comDoOnce");
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(server.accepted(), 1);
    const QStringList expected{"23.5",  "1", "0",     "800", "-2", "32768", "-99", "2",
                               "38400", "1", "50000", "0",   "0",  "20001", "5"};
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(value(k), expected[k]) << "txtValue(" << k << ")";
}

TEST_F(ToolAgainstLibmodbus, StartAddressAndCountReachTheRightRegisters)
{
    type("txtStartID", "2");
    type("txtDataLength", "3");
    click("comDoOnce");
    ASSERT_TRUE(waitForReceived(2));
    // registers 2, 3, 4 into fields 2, 3, 4
    EXPECT_EQ(value(2), "0");
    EXPECT_EQ(value(3), "800");
    EXPECT_EQ(value(4), "-2");
    EXPECT_EQ(value(5), "0");
}

TEST_F(ToolAgainstLibmodbus, ParameterWritesLandInTheirRegisters)
{
    const struct
    {
        int button;
        const char *typed;
        std::uint16_t stored;
    } writes[] = {{0, "999", 999}, {3, "-99", 0xFF9D}, {5, "38400", 38400}, {9, "65535", 65535}};
    int received = 1;
    for (const auto &w : writes) {
        type(QStringLiteral("txtValue(%1)").arg(w.button + 3).toLatin1().constData(), w.typed);
        click(QStringLiteral("cmdSet(%1)").arg(w.button).toLatin1().constData());
        ASSERT_TRUE(waitForReceived(++received)) << w.typed;
        EXPECT_EQ(server.registers()[0x0A00 + 2 * w.button], w.stored) << w.typed;
        EXPECT_EQ(text("txtStationID"), "1");
    }
    EXPECT_EQ(server.accepted(), 4);
}

TEST_F(ToolAgainstLibmodbus, ShortExceptionAnswerStaysBelowTheThresholdAndIsDiscarded)
{
    click("Command2");
    // libmodbus does not know function 0x26 and answers nothing the tool would take: no
    // event with 16 bytes armed; the next request is sent and decoded cleanly.
    runEventsFor(300);
    EXPECT_EQ(text("lblErrCounter"), "1");
    EXPECT_EQ(text("TXTtype"), "1000");
    click("comDoOnce");
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_TRUE(text("txtState").startsWith(" 01 03 1E 00 EB"));
    EXPECT_EQ(value(0), "23.5");
}
