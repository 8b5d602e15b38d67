#include "receive_handler.h"

#include "field_values.h"
#include "modbus/answer_decoder.h"
#include "modbus/hex_text.h"
#include "serial/comm_events.h"

#include <limits>
#include <span>

namespace ops {
namespace {

void decode(const Window &w, std::span<const std::uint8_t> answer)
{
    switch (w.vars.CmdType) {
    case modbus::kCmdQuery: {
        const long long base = queryBase(w.form.text(Field::txtStartID).toStdString());
        for (const auto &[field, text] : modbus::decodeQueryAnswer(answer, base))
            w.form.setText(valueField(field), QString::fromStdString(text));
        break;
    }
    case modbus::kCmdAddressChange:
        if (const auto address = modbus::addressChangeResult(answer, w.vars.LastRequest)) {
            const QString text = QString::number(*address);
            w.form.setText(Field::txtSetID0, text);
            w.form.setText(Field::txtStationID, text);
        }
        break;
    case modbus::kCmdAddressReadOrWrite:
        if (!answer.empty()) {
            const QString text = QString::number(answer[0]);
            w.form.setText(Field::txtSetID0, text);
            w.form.setText(Field::txtStationID, text);
        }
        break;
    case modbus::kCmdDeviceInfo:
        if (const auto info = modbus::deviceInfoText(answer))
            w.form.setText(Field::TXTtype, QString::fromStdString(*info));
        break;
    default:
        break;
    }
}

} // namespace

void MSComm1_OnComm(const Window &w)
{
    auto &vars = w.vars;
    if (vars.RecCount < std::numeric_limits<std::int32_t>::max())
        ++vars.RecCount;
    w.form.setText(Field::lblErrCounter, QString::number(vars.RecCount));

    if (w.MSComm1.commEvent() != serial::kComEvReceive)
        return;
    const QByteArray received = w.MSComm1.input();
    w.MSComm1.setInBufferCount(0);

    const std::span<const std::uint8_t> answer(
        reinterpret_cast<const std::uint8_t *>(received.constData()),
        static_cast<std::size_t>(received.size()));
    w.form.setText(Field::txtState, QString::fromStdString(modbus::receivedFrameText(answer)));
    decode(w, answer);
    w.form.showLamp(Lamp::imgConnected);
}

} // namespace ops
