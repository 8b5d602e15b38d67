#include "receive_handler.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/exception_codes.h"
#include "modbus/exchange_judge.h"
#include "modbus/hex_text.h"
#include "serial/comm_events.h"
#include "translations/device_texts.h"

#include <limits>
#include <span>

namespace ops {
namespace {

void decode(const Window &w, std::span<const std::uint8_t> answer)
{
    switch (w.vars.CmdType) {
    case modbus::kCmdQuery: {
        const long long base = queryBase(w.form.text(Field::txtStartID).toStdString());
        for (const auto &[field, text] : modbus::decodeQueryAnswer(answer, base)) {
            const QString shown = QString::fromStdString(text);
            w.vars.DeviceText[static_cast<std::size_t>(field)] = shown;
            // Polling does not undo what the user typed; "单次" is a read asked for.
            if (w.vars.LastRequestPolled && w.form.awaitsWrite(valueField(field)))
                continue;
            w.form.setAwaitsWrite(valueField(field), false);
            w.form.setText(valueField(field), shown);
        }
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
    const bool receive = w.MSComm1.commEvent() == serial::kComEvReceive;
    QByteArray received;
    if (receive) {
        received = w.MSComm1.input();
        w.MSComm1.setInBufferCount(0);
    }
    const std::span<const std::uint8_t> answer(
        reinterpret_cast<const std::uint8_t *>(received.constData()),
        static_cast<std::size_t>(received.size()));
    // Only what the judge finds corrupt or refused is held back; an answer still short of its
    // length (a threshold below it) is shown and decoded as it is.
    // Before the first request there is nothing to judge by.
    const bool judgeable = receive && vars.LastRequest != modbus::RequestFrame{};
    const modbus::Judgement judged = modbus::judgeAnswer(vars.LastRequest, answer);
    const bool corrupt = judgeable && judged.verdict == modbus::Verdict::BadCrc;
    const bool refused = judgeable && judged.verdict == modbus::Verdict::Exception;

    // A corrupt answer is no successful reception.
    if (!corrupt && vars.RecCount < std::numeric_limits<std::int32_t>::max())
        ++vars.RecCount;
    w.form.setText(Field::lblErrCounter, QString::number(vars.RecCount));
    if (!receive)
        return;

    w.form.setText(Field::txtState, QString::fromStdString(modbus::receivedFrameText(answer)));
    if (corrupt || refused) {
        w.form.showLamp(Lamp::imgNotConnected);
        if (refused && !vars.LastRequestPolled)
            w.messages.show(i18n::message(text::kRefused) +
                                i18n::exceptionText(judged.exceptionCode),
                            i18n::message(text::kAppTitle), MessageIcon::None);
        return;
    }
    decode(w, answer);
    w.form.showLamp(Lamp::imgConnected);
}

} // namespace ops
