#pragma once

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

inline constexpr char kBadPeriod[] = "你输入的定时时长格式有误，应该为数字，值范围为100-60000!";
inline constexpr char kPeriodRange[] = "你输入的定时时长格式有误，应该为数字，值范围为50-60000!";

inline constexpr char kBadValue[] = "你输入的值有误，请输入0-9的数据，不能含字母！";
inline constexpr char kControlModeRange[] = "你输入的值有误，正确的值范围为0-2!";
inline constexpr char kBaudRateValues[] =
    "你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!";
// A value that does not fit the 16-bit register, after negative values of the signed
// rows are taken as 65536 + value.
inline constexpr char kSignedRegisterRange[] = "你输入的值有误，正确的值范围为-65536到65535!";
inline constexpr char kRegisterRange[] = "你输入的值有误，正确的值范围为0-65535!";

inline constexpr char kBadSourceAddress[] = "你输入的原设备地址格式有误!";
inline constexpr char kBadTargetAddress[] = "你输入的目标设备地址格式有误!";
inline constexpr char kAddressZero[] = "请指定正确的设备地址，正确值范围为1-250";
inline constexpr char kAddressAbove250[] = "请指定正确的设备地址，正确值范围为1-250!";

} // namespace ops::text
