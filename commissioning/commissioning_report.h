#pragma once
#include "commissioner.h"
#include "modbus/register_map.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace commissioning {

// One parameter of one device as its commissioning went.
struct ReportRow
{
    std::optional<std::uint16_t> inFile;
    std::optional<std::uint16_t> before;   // the device as read before the writing
    std::optional<std::uint16_t> written;  // chosen for writing
    std::optional<std::uint16_t> readBack; // the device as read after the writing
    QString verdict;
};

// One "写入设备" on one device: what a technician hands over with it.
struct DeviceReport
{
    QDateTime at;
    QString port; // "/dev/ttyUSB0", "COM3", "tcp://10.0.0.5:4001"
    int baud = 0;
    int station = 0;
    QString identification;
    std::array<ReportRow, modbus::kValueFieldCount> rows;
    bool passed = false;
    QString result; // the overall result in words
};

// The report of a writing that has ended: the file's values, the device before, the
// commissioner's rows and its read-back, and the message it finished with.
[[nodiscard]] DeviceReport makeDeviceReport(const ParameterSet &file, const ParameterSet &before,
                                            const Commissioner &jobs, const QString &message);

// The report as a document, one page per device.
[[nodiscard]] QString reportHtml(const std::vector<DeviceReport> &devices);

// Writes the report as a PDF (A4, fonts embedded), whole or not at all; the reason when it
// could not, empty on success.
[[nodiscard]] QString saveReportPdf(const QString &path, const std::vector<DeviceReport> &devices);

} // namespace commissioning
