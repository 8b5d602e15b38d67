#pragma once
#include "modbus/register_map.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace ctl {

// The parameters a write names, by row, with the register values they write.
struct Assignments
{
    std::array<std::uint16_t, modbus::kValueFieldCount> raw{};
    std::array<bool, modbus::kValueFieldCount> chosen{};
};

// The row a name means: its caption ("报警高值", "校正值"), its key ("alarm_high") or its
// write register ("0x0A00", "2560"). Nothing when none does.
[[nodiscard]] const modbus::RegisterRow *rowNamed(const QString &name);

// The register value for a parameter's value, or the reason it is refused: only whole
// numbers within the row's documented range.
[[nodiscard]] std::variant<std::uint16_t, QString> registerValueFor(const modbus::RegisterRow &row,
                                                                    const QString &value);

// NAME=VALUE … all checked before anything is sent; the first fault as one line.
struct AssignmentsResult
{
    std::optional<Assignments> assignments;
    QString error;
};
[[nodiscard]] AssignmentsResult parseAssignments(const QStringList &texts);

// "1..999", "one of 2400, 4800, 9600, 19200, 38400": the same in either language, as the CSV
// of --list-parameters carries it.
[[nodiscard]] QString rangeText(const modbus::RegisterRow &row);
// The range for people, in the language of the run: "2400、4800、9600、19200、38400 之一".
[[nodiscard]] QString rangeWords(const modbus::RegisterRow &row);

} // namespace ctl
