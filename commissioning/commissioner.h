#pragma once
#include "device_client.h"
#include "parameter_file.h"

#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <vector>

namespace commissioning {

// Where the device is: the line speed and its station.
struct Link
{
    int baud = 9600;
    int station = 1;
};

struct FoundDevice
{
    int baud = 0;
    int station = 0;
    QString identification;
    std::chrono::nanoseconds responseTime{};
};

enum class RowState {
    NotChosen,
    Left,       // chosen, not written: the writing stopped before it
    Written,    // echoed, not read back yet
    Verified,   // read back equal
    Failed,     // the device did not take it
    Mismatch,   // echoed, but the read-back differs
    Unverified, // echoed, the read-back failed
};

struct RowResult
{
    RowState state = RowState::NotChosen;
    QString reason;
    // How the exchange behind a Failed or Unverified row ended.
    Outcome outcome = Outcome::Answered;
};

// What the table says for a row.
[[nodiscard]] QString rowStateText(const RowResult &row);

// Registers 0..14 of a complete answer to the read of all fifteen.
[[nodiscard]] std::array<std::uint16_t, modbus::kValueFieldCount>
queryRegisters(const QByteArray &answer);

// The rows whose writing changes the link; never chosen unless asked for, and written last.
inline constexpr int kBaudField = 8;
inline constexpr int kStationField = 9;

// The configuration window's jobs, one at a time, over the device client: find a device,
// read its parameters, write parameters with proof. Each job ends with finished(message),
// message empty when all went well; results stay readable afterwards.
class Commissioner : public QObject
{
    Q_OBJECT

public:
    explicit Commissioner(DeviceClient &client, QObject *parent = nullptr);

    void setLink(const Link &link);
    [[nodiscard]] const Link &link() const { return m_link; }
    [[nodiscard]] bool running() const { return m_running; }

    // The address read of the main window's "读地址" at each speed (the five unless given),
    // then the identification of each device that answers.
    void findBySpeed(const std::vector<int> &bauds = {modbus::kBaudRates.begin(),
                                                      modbus::kBaudRates.end()});
    // A one-register read of each station first..last at the link's speed.
    void scanStations(int first, int last);
    // The identification and all fifteen registers at the link.
    void readParameters();
    // The chosen writable rows' values, one write at a time with its echo; station and speed
    // last, following the device to them; then all fifteen registers read back and compared.
    // Stops at the first write that fails.
    void writeParameters(const std::array<std::uint16_t, modbus::kValueFieldCount> &values,
                         const std::array<bool, modbus::kValueFieldCount> &chosen);
    // Ends the job at once with the message "已取消".
    void cancel();

    [[nodiscard]] const std::vector<FoundDevice> &found() const { return m_found; }
    [[nodiscard]] const ParameterSet &device() const { return m_device; }
    [[nodiscard]] const std::array<RowResult, modbus::kValueFieldCount> &rows() const
    {
        return m_rows;
    }

signals:
    void progress(int done, int total);
    // A search met a device; found() holds it already.
    void deviceFound(const commissioning::FoundDevice &device);
    void finished(const QString &message);

private:
    void begin(int total);
    void step();
    void end(const QString &message);
    void nextSpeed(std::size_t index);
    void nextStation(int station, int last);
    void identify(int baud, int station, std::chrono::nanoseconds responseTime,
                  std::function<void()> then);
    void nextWrite();
    void verify(const QString &stopped);
    void takeRegisters(const Reply &reply);

    DeviceClient &m_client;
    Link m_link;
    bool m_running = false;
    int m_done = 0;
    int m_total = 0;
    std::vector<FoundDevice> m_found;
    ParameterSet m_device;
    std::array<RowResult, modbus::kValueFieldCount> m_rows{};
    std::array<std::uint16_t, modbus::kValueFieldCount> m_written{};
    std::vector<int> m_order;
    std::vector<int> m_bauds;
    std::size_t m_next = 0;
};

} // namespace commissioning
