#pragma once

// The window's own messages; the refusals of typed values, which the configuration window
// gives too, are in values/messages.h.
namespace ops::text {

inline constexpr char kAppTitle[] = "RX904工具";

inline constexpr char kPortOpenFailedTitle[] = "出错提示";
inline constexpr char kPortOpenFailed[] = "串口已打开或被占用！";
inline constexpr char kSelectPort[] = "请选择端口";

inline constexpr char kBadStation[] = "你输入的设备地址格式有误!";
inline constexpr char kBadFunction[] = "你输入的功能码格式有误!";
inline constexpr char kBadDataLength[] = "你输入的数据长度格式有误!";
inline constexpr char kBadStart[] = "你输入的起始地址格式有误!";
inline constexpr char kDataLengthRange[] = "你输入的数据长度格式有误,正确的值应该为1-15!";
inline constexpr char kPortClosed[] = "打开串口出错，请确定串口是否已被占用";
// Followed by the exception code and its meaning: "异常码 04（从站设备故障）".
inline constexpr char kRefused[] = "设备拒绝了请求：";

inline constexpr char kBadPeriod[] = "你输入的定时时长格式有误，应该为数字，值范围为100-60000!";
inline constexpr char kPeriodRange[] = "你输入的定时时长格式有误，应该为数字，值范围为50-60000!";

inline constexpr char kBadSourceAddress[] = "你输入的原设备地址格式有误!";
inline constexpr char kBadTargetAddress[] = "你输入的目标设备地址格式有误!";
inline constexpr char kAddressAbove250[] = "请指定正确的设备地址，正确值范围为1-250!";

} // namespace ops::text
