#include "device_information.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/register_map.h"
#include "request_sending.h"

namespace ops {

void Command2_Click(const Window &w)
{
    const auto station = roundedStation(w.form, Field::txtStationID);
    if (!station) {
        w.message(text::kBadStation);
        return;
    }
    beginRequest(w, modbus::kCmdDeviceInfo);
    sendRequest(w, modbus::deviceInfoRequest(*station));
}

} // namespace ops
