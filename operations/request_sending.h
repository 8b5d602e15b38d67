#pragma once
#include "modbus/request_frame.h"
#include "window.h"

#include <QByteArray>
#include <QString>

namespace ops {

// Empties the receive side and stops receive events while a request is prepared:
// InBufferCount 0, InputLen 0, InputMode binary, RThreshold 0.
void prepareReceive(serial::SerialControl &port);

// Completes bytes 6 and 7 with the CRC of bytes 0..5, leaving it in HiByte and LoByte
// as well, and remembers the frame as the last request.
void completeFrame(FormVars &vars, modbus::RequestFrame &frame);

[[nodiscard]] QString sentText(const modbus::RequestFrame &frame);
[[nodiscard]] QByteArray wireBytes(const modbus::RequestFrame &frame);

// Writes the frame behind the green lamp when the port is open; otherwise shows the red
// lamp and writes nothing.
void writeIfOpen(const Window &w, const modbus::RequestFrame &frame);

} // namespace ops
