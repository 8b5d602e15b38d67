#pragma once
#include "modbus/register_map.h"
#include "modbus/request_frame.h"

#include <QString>
#include <array>
#include <cstdint>

namespace ops {

// The window-level state shared by the handlers; zero, false and empty before start-up.
struct FormVars
{
    std::int16_t CommNum = 0;
    std::int32_t CommRate = 0;
    bool CommReady = false;
    std::int32_t RecCount = 0;
    std::int16_t CmdType = 0;
    std::int16_t RecLength = 0;
    QString SendText;
    std::uint8_t HiByte = 0; // CRC low-order byte, sent first
    std::uint8_t LoByte = 0; // CRC high-order byte, sent second
    // The request last written, so an address-change echo can be recognised.
    modbus::RequestFrame LastRequest{};
    // The last request came from the polling timer, not from a button.
    bool LastRequestPolled = false;
    // Each value field as the device last gave it, also while a typed value waits to be
    // written in its place: Esc there shows it again.
    std::array<QString, modbus::kValueFieldCount> DeviceText;
};

} // namespace ops
