#pragma once
#include "modbus/request_frame.h"
#include "window.h"

#include <QByteArray>
#include <QString>

namespace ops {

// Empties the receive side and stops receive events while a request is prepared:
// InBufferCount 0, InputLen 0, InputMode binary, RThreshold 0.
void prepareReceive(CommControl &port);

// Remembers the request as the last one, with its CRC bytes in HiByte and LoByte.
void rememberRequest(FormVars &vars, const modbus::RequestFrame &frame);

[[nodiscard]] QString sentText(const modbus::RequestFrame &frame);
[[nodiscard]] QByteArray wireBytes(const modbus::RequestFrame &frame);

// The first half of every request but the query: records its kind, empties the
// received-data field and the frame text, and stops receive events while the frame is built.
void beginRequest(const Window &w, std::int16_t cmdType);

// The second half: the request remembered, receive events armed for its whole answer (its
// length from the frame), the frame's text shown, and the frame written behind the green lamp
// when the port is open; on a closed port the red lamp and nothing written.
void sendRequest(const Window &w, const modbus::RequestFrame &frame);

} // namespace ops
