#pragma once
#include "modbus/register_map.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace commissioning {

// One device's parameters as read, or as a file keeps them.
struct ParameterSet
{
    QString identification;
    int station = 1;
    int baud = 9600;
    QString date;
    QString toolVersion;
    // Registers 0..14 as the device gives them, in the rows' order.
    std::array<std::uint16_t, modbus::kValueFieldCount> raw{};
};

// The first line of every parameter file; a later format gets a higher number.
inline constexpr char kFileHeader[] = "RX904 参数文件 版本 ";
inline constexpr int kFileVersion = 1;

// The file's text (UTF-8): the header, then "key = value" lines, one per parameter with its
// caption, register, the value as the window shows it and the raw register value.
[[nodiscard]] QString parameterFileText(const ParameterSet &set);

struct LoadResult
{
    std::optional<ParameterSet> set;
    QString error; // names the line and the reason when set is empty
};

// Checks the whole text before anything of it is used: header and version, every key once,
// all fifteen rows in order, and every parameter's value by the set buttons' own rules.
[[nodiscard]] LoadResult parseParameterFile(const QByteArray &bytes);
[[nodiscard]] LoadResult loadParameterFile(const QString &path);

// Writes the file whole or not at all; the reason when it could not, empty on success.
[[nodiscard]] QString saveParameterFile(const QString &path, const ParameterSet &set);

} // namespace commissioning
