#include "parameter_value.h"

#include "messages.h"
#include "numeric_text.h"

#include <algorithm>

namespace values {

std::variant<std::uint16_t, const char *> parameterRegisterValue(const modbus::RegisterRow &row,
                                                                 double number)
{
    // The device takes the value as typed into a single-precision number.
    float v = static_cast<float>(number);
    if (row.twosComplement && v < 0)
        v += 65536.0F;
    if (row.check == modbus::WriteCheck::ControlMode && v > 2)
        return text::kControlModeRange;
    if (row.check == modbus::WriteCheck::BaudRate &&
        std::find(modbus::kBaudRates.begin(), modbus::kBaudRates.end(), v) ==
            modbus::kBaudRates.end())
        return text::kBaudRateValues;
    const double rounded = roundHalfEven(static_cast<double>(v));
    if (!(rounded >= 0 && rounded <= 65535)) {
        if (row.check == modbus::WriteCheck::ControlMode)
            return text::kControlModeRange;
        return row.twosComplement ? text::kSignedRegisterRange : text::kRegisterRange;
    }
    return static_cast<std::uint16_t>(rounded);
}

} // namespace values
