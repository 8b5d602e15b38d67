#pragma once
#include <string>

namespace modbus {

// What a Modbus exception code means, in the tool's words ("非法数据地址"); empty for a
// code the protocol does not name.
[[nodiscard]] std::string exceptionMeaning(int code);

// "异常码 04（从站设备故障）", or "异常码 0C" for a code without a name.
[[nodiscard]] std::string exceptionText(int code);

} // namespace modbus
