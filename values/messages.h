#pragma once
#include "modbus/translatable.h"

// The refusals of the value rules, in the words of the window's set buttons: the window and
// the configuration window's parameter files give the same reason for the same value.
namespace values::text {

inline constexpr char kBadValue[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的值有误，请输入0-9的数据，不能含字母！");
inline constexpr char kControlModeRange[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的值有误，正确的值范围为0-2!");
inline constexpr char kBaudRateValues[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!");
// A value that does not fit the 16-bit register, after negative values of the signed
// rows are taken as 65536 + value.
inline constexpr char kSignedRegisterRange[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的值有误，正确的值范围为-65536到65535!");
inline constexpr char kRegisterRange[] =
    RX904_TRANSLATE_NOOP("Messages", "你输入的值有误，正确的值范围为0-65535!");

// A station address outside the window's range 1..250.
inline constexpr char kAddressZero[] =
    RX904_TRANSLATE_NOOP("Messages", "请指定正确的设备地址，正确值范围为1-250");

} // namespace values::text
