#pragma once
#include <string>

namespace modbus {

// What a Modbus exception code means, in the tool's words ("非法数据地址"); empty for a
// code the protocol does not name.
[[nodiscard]] std::string exceptionMeaning(int code);

} // namespace modbus
