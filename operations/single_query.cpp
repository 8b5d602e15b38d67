#include "single_query.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/exchange_judge.h"
#include "request_sending.h"
#include "translations/device_texts.h"
#include "values/numeric_text.h"

#include <cmath>

namespace ops {
namespace {

struct QueryBytes
{
    std::uint8_t station;
    std::uint8_t function;
    std::uint8_t start;
    std::uint8_t count;
};

// The field checks in the order the operator meets them; the first failure is reported.
// Station, function code and start address must also fit their byte: a station of 300
// would otherwise go out as 0, a broadcast to every device on the bus.
std::optional<QueryBytes> checkedQuery(const Window &w)
{
    const Form &form = w.form;
    const auto station = integerPartOf(form, Field::txtStationID);
    if (!station) {
        w.message(text::kBadStation);
        return std::nullopt;
    }
    const auto function = roundedValueOf(form, Field::txtFunID);
    if (!function) {
        w.message(text::kBadFunction);
        return std::nullopt;
    }
    const auto count = integerPartOf(form, Field::txtDataLength);
    if (!count) {
        w.message(text::kBadDataLength);
        return std::nullopt;
    }
    const auto start = integerPartOf(form, Field::txtStartID);
    if (!start) {
        w.message(text::kBadStart);
        return std::nullopt;
    }
    if (*count < 1 || *count > 15) {
        w.message(text::kDataLengthRange);
        return std::nullopt;
    }
    const auto stationByte = values::asByte(*station);
    if (!stationByte) {
        w.message(text::kBadStation);
        return std::nullopt;
    }
    const auto functionByte = values::asByte(*function);
    if (!functionByte) {
        w.message(text::kBadFunction);
        return std::nullopt;
    }
    const auto startByte = values::asByte(*start);
    if (!startByte) {
        w.message(text::kBadStart);
        return std::nullopt;
    }
    return QueryBytes{*stationByte, *functionByte, *startByte, static_cast<std::uint8_t>(*count)};
}

} // namespace

void comDoOnce_Click(const Window &w)
{
    auto &vars = w.vars;
    auto &port = w.MSComm1;
    vars.SendText.clear();
    const auto query = checkedQuery(w);
    if (!query)
        return;

    w.form.setText(Field::txtState, QString());
    const double sent =
        values::numericValue(w.form.text(Field::lblCounter).toStdString()).value_or(0);
    w.form.setText(Field::lblCounter, decimalText(std::floor(sent) + 1));

    if (!port.portOpen()) {
        // What took the port away is said once, below the message of every closed port.
        w.messages.showWithInformativeText(i18n::message(text::kPortClosed),
                                           i18n::message(text::kAppTitle), MessageIcon::None,
                                           port.takeLostCause());
        w.form.showLamp(Lamp::imgNotConnected);
        vars.CommReady = false;
        return;
    }

    w.form.showLamp(Lamp::ImgYellow);
    prepareReceive(port);
    const modbus::RequestFrame frame =
        modbus::readRequest(query->station, query->start, query->count, query->function);
    rememberRequest(vars, frame);
    // A read's answer, whatever function code the operator typed.
    vars.RecLength = static_cast<std::int16_t>(modbus::readAnswerLength(query->count));
    port.setRThreshold(vars.RecLength);
    vars.CmdType = modbus::kCmdQuery;
    port.setOutput(wireBytes(frame));
    vars.SendText = sentText(frame);
    w.form.setText(Field::txtCommand, vars.SendText);
}

} // namespace ops
