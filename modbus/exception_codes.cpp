#include "exception_codes.h"

#include <cstdio>

namespace modbus {

std::string exceptionMeaning(int code)
{
    switch (code) {
    case 0x01:
        return "非法功能";
    case 0x02:
        return "非法数据地址";
    case 0x03:
        return "非法数据值";
    case 0x04:
        return "从站设备故障";
    case 0x05:
        return "确认";
    case 0x06:
        return "从站设备忙";
    case 0x08:
        return "存储奇偶性差错";
    case 0x0A:
        return "不可用网关路径";
    case 0x0B:
        return "网关目标设备响应失败";
    default:
        return {};
    }
}

std::string exceptionText(int code)
{
    char number[8];
    std::snprintf(number, sizeof number, "%02X", code & 0xFF);
    const std::string meaning = exceptionMeaning(code);
    std::string text = std::string("异常码 ") + number;
    if (!meaning.empty())
        text += "（" + meaning + "）";
    return text;
}

} // namespace modbus
