#include "register_text.h"

#include <cstdio>

namespace values {

std::string registerText(const modbus::RegisterRow &row)
{
    if (row.setButton < 0)
        return std::to_string(row.readRegister);
    char written[8];
    std::snprintf(written, sizeof written, "%04X", unsigned{row.writeRegister});
    return std::to_string(row.readRegister) + " / 0x" + written;
}

} // namespace values
