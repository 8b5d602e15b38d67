#include "exception_codes.h"
#include "translatable.h"

namespace modbus {

std::string exceptionMeaning(int code)
{
    switch (code) {
    case 0x01:
        return RX904_TRANSLATE_NOOP("Modbus", "非法功能");
    case 0x02:
        return RX904_TRANSLATE_NOOP("Modbus", "非法数据地址");
    case 0x03:
        return RX904_TRANSLATE_NOOP("Modbus", "非法数据值");
    case 0x04:
        return RX904_TRANSLATE_NOOP("Modbus", "从站设备故障");
    case 0x05:
        return RX904_TRANSLATE_NOOP("Modbus", "确认");
    case 0x06:
        return RX904_TRANSLATE_NOOP("Modbus", "从站设备忙");
    case 0x08:
        return RX904_TRANSLATE_NOOP("Modbus", "存储奇偶性差错");
    case 0x0A:
        return RX904_TRANSLATE_NOOP("Modbus", "不可用网关路径");
    case 0x0B:
        return RX904_TRANSLATE_NOOP("Modbus", "网关目标设备响应失败");
    default:
        return {};
    }
}

} // namespace modbus
