#pragma once
#include "modbus/translatable.h"

// The window's own messages; the refusals of typed values, which the configuration window
// gives too, are in values/messages.h.
namespace ops::text {

inline constexpr char kAppTitle[] = RX904_TRANSLATE_NOOP("Messages", "RX904工具");

inline constexpr char kPortOpenFailedTitle[] = RX904_TRANSLATE_NOOP("Messages", "出错提示");
inline constexpr char kPortOpenFailed[] = RX904_TRANSLATE_NOOP("Messages", "串口已打开或被占用！");
inline constexpr char kSelectPort[] = RX904_TRANSLATE_NOOP("Messages", "请选择端口");

inline constexpr char kBadStation[] = RX904_TRANSLATE_NOOP("Messages", "你输入的设备地址格式有误!");
inline constexpr char kBadFunction[] = RX904_TRANSLATE_NOOP("Messages", "你输入的功能码格式有误!");
inline constexpr char kBadDataLength[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的数据长度格式有误!");
inline constexpr char kBadStart[] = RX904_TRANSLATE_NOOP("Messages", "你输入的起始地址格式有误!");
inline constexpr char kDataLengthRange[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的数据长度格式有误,正确的值应该为1-15!");
inline constexpr char kPortClosed[] =
    RX904_TRANSLATE_NOOP("Messages", "打开串口出错，请确定串口是否已被占用");
// Followed by the exception code and its meaning: "异常码 04（从站设备故障）".
inline constexpr char kRefused[] = RX904_TRANSLATE_NOOP("Messages", "设备拒绝了请求：");

inline constexpr char kBadPeriod[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的定时时长格式有误，应该为数字，值范围为100-60000!");
inline constexpr char kPeriodRange[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的定时时长格式有误，应该为数字，值范围为50-60000!");

inline constexpr char kBadSourceAddress[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的原设备地址格式有误!");
inline constexpr char kBadTargetAddress[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的目标设备地址格式有误!");
inline constexpr char kAddressAbove250[] =
    RX904_TRANSLATE_NOOP("Messages", "请指定正确的设备地址，正确值范围为1-250!");

} // namespace ops::text
