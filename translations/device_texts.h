#pragma once
#include "modbus/register_map.h"

#include <QString>

// The texts the standard-library code defines, in the language of this run.
namespace i18n {

// The row's caption ("报警高值") and range hint ("值范围为：1到999").
[[nodiscard]] QString caption(const modbus::RegisterRow &row);
[[nodiscard]] QString hint(const modbus::RegisterRow &row);

// "异常码 04（从站设备故障）", or "异常码 0C" for a code the protocol does not name.
[[nodiscard]] QString exceptionText(int code);

// One of the messages of values/messages.h and operations/messages.h.
[[nodiscard]] QString message(const char *text);

} // namespace i18n
