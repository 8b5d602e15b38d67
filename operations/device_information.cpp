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
    auto &vars = w.vars;
    auto &port = w.MSComm1;
    vars.CmdType = modbus::kCmdDeviceInfo;
    w.form.setText(Field::txtState, QString());
    vars.SendText.clear();
    prepareReceive(port);
    modbus::RequestFrame frame{*station, modbus::kFunctionDeviceInfo, 0, 0, 0, 5, 0, 0};
    completeFrame(vars, frame);
    vars.SendText = sentText(frame);
    vars.RecLength = modbus::kDeviceInfoAnswerLength;
    port.setRThreshold(vars.RecLength);
    w.form.setText(Field::txtCommand, vars.SendText);
    writeIfOpen(w, frame);
}

} // namespace ops
