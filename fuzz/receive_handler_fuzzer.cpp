// The receive handler fed arbitrary bytes under every kind of last request, with arbitrary
// start-address text and counter state, through the fakes of the tests. Each event is
// checked against rules written out here: what was counted, which fields were written and
// what texts they may hold.
#include "modbus/exchange_judge.h"
#include "operations/receive_handler.h"
#include "serial/comm_events.h"
#include "support/fake_form.h"
#include "support/fake_serial_control.h"
#include "values/numeric_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using ops::Field;
using testing_support::FakeForm;
using testing_support::FakeMessageBox;
using testing_support::FakeSerialControl;
using testing_support::FakeTimer;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "receive handler rule broken: %s\n", what);
    std::abort();
}

void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// A form that remembers which fields were written during one event.
class RecordingForm : public FakeForm
{
public:
    std::set<Field> written;
    void setText(Field field, const QString &text) override
    {
        written.insert(field);
        FakeForm::setText(field, text);
    }
};

// Texts the display rules of the value fields can give, written independently of the
// register map: field 0 tenths, 3..6 signed, the others unsigned; 0xFFFF shows zero.
QString expectedValueText(int field, std::uint16_t raw)
{
    const long value = raw == 0xFFFF ? 0 : raw;
    if (field == 0) {
        const long tenths = value > 20000 ? value - 65535 : value;
        return QString::asprintf("%s%ld.%ld", tenths < 0 ? "-" : "", std::labs(tenths) / 10,
                                 std::labs(tenths) % 10);
    }
    if (field >= 3 && field <= 6 && value > 32768)
        return QString::number(value - 65536);
    return QString::number(value);
}

QString receivedText(const std::vector<std::uint8_t> &bytes)
{
    QString text;
    for (const std::uint8_t byte : bytes)
        text += QString::asprintf(" %02X", byte);
    return text;
}

std::int16_t pickCmdType(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return 5;
    case 3:
        return 6;
    case 4:
        return 7;
    default:
        return input.ConsumeIntegral<std::int16_t>();
    }
}

std::int32_t pickRecCount(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return input.ConsumeIntegralInRange(0, 100);
    case 1:
        return std::numeric_limits<std::int32_t>::max() - input.ConsumeIntegralInRange(0, 2);
    default:
        return input.ConsumeIntegral<std::int32_t>();
    }
}

void checkQueryFields(const RecordingForm &form, const std::map<Field, QString> &before,
                      const std::vector<std::uint8_t> &answer, const QString &startText)
{
    std::set<int> expected;
    if (answer.size() >= 3) {
        const std::size_t registers = std::min<std::size_t>(answer[2] / 2, (answer.size() - 3) / 2);
        const auto start = values::integerPart(startText.toStdString());
        const double base = (!start || *start == 0) ? 0.0 : (*start - 1) * 2;
        for (std::size_t k = 0; k < registers; ++k) {
            const double field = base + static_cast<double>(k);
            if (field >= 0 && field < modbus::kValueFieldCount)
                expected.insert(static_cast<int>(field));
        }
        for (const int field : expected) {
            const std::size_t k = static_cast<std::size_t>(field - base);
            const auto raw = static_cast<std::uint16_t>(answer[3 + 2 * k] << 8 | answer[4 + 2 * k]);
            require(form.text(ops::valueField(field)) == expectedValueText(field, raw),
                    "value field text differs from its display rule");
        }
    }
    for (int field = 0; field < modbus::kValueFieldCount; ++field) {
        const Field f = ops::valueField(field);
        if (!expected.count(field))
            require(form.text(f) == before.at(f), "value field changed outside the answer");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    RecordingForm form;
    ops::FormVars vars;
    FakeSerialControl port;
    FakeMessageBox messages;
    FakeTimer timer;
    const ops::Window window{form, vars, port, messages, timer};

    const QString startText = QString::fromStdString(input.ConsumeRandomLengthString(64));
    form.texts[Field::txtStartID] = startText;
    vars.CmdType = pickCmdType(input);
    vars.RecCount = pickRecCount(input);
    const auto request = input.ConsumeBytes<std::uint8_t>(modbus::kRequestLength);
    std::copy(request.begin(), request.end(), vars.LastRequest.begin());
    const bool receiveEvent = input.ConsumeBool();
    port.event =
        receiveEvent
            ? serial::kComEvReceive
            : input.PickValueInArray({serial::kComEventRxOver, serial::kComEventPortLost, 0, 1, 3});
    const std::vector<std::uint8_t> answer = input.ConsumeRemainingBytes<std::uint8_t>();
    port.inBuffer = QByteArray(reinterpret_cast<const char *>(answer.data()),
                               static_cast<qsizetype>(answer.size()));

    const std::map<Field, QString> before = form.texts;
    const ops::FormVars varsBefore = vars;
    ops::MSComm1_OnComm(window);

    // What the exchange judge makes of the answer to the request remembered; nothing is
    // judged before a request.
    const bool judged = receiveEvent && varsBefore.LastRequest != modbus::RequestFrame{};
    const modbus::Verdict verdict = modbus::judgeAnswer(varsBefore.LastRequest, answer).verdict;
    const bool corrupt = judged && verdict == modbus::Verdict::BadCrc;
    const bool refused = judged && verdict == modbus::Verdict::Exception;

    // Counting: one more, stopping at the largest 32-bit number, but never for a corrupt
    // answer; the label shows it.
    const std::int32_t counted =
        corrupt || varsBefore.RecCount == std::numeric_limits<std::int32_t>::max()
            ? varsBefore.RecCount
            : varsBefore.RecCount + 1;
    require(vars.RecCount == counted, "RecCount not counted or not saturated");
    require(form.text(Field::lblErrCounter) == QString::number(counted), "lblErrCounter");
    require(vars.CmdType == varsBefore.CmdType, "CmdType changed by the receive handler");
    require(messages.shown.size() == (refused ? 1U : 0U),
            "a message other than the one naming a refusal");
    require(port.written.isEmpty(), "the receive handler wrote to the line");

    if (!receiveEvent) {
        require(form.written == std::set<Field>{Field::lblErrCounter},
                "a non-receive event wrote a field");
        require(form.lampsShown.empty(), "a non-receive event showed a lamp");
        return 0;
    }

    require(port.inBuffer.isEmpty(), "received bytes left waiting");
    const QString state = form.text(Field::txtState);
    require(state.size() == static_cast<qsizetype>(3 * answer.size()), "txtState length");
    require(state == receivedText(answer), "txtState text");
    if (corrupt || refused) {
        require(form.lampsShown == std::vector<ops::Lamp>{ops::Lamp::imgNotConnected},
                "a corrupt or refused answer must light the red lamp only");
        require(form.written == std::set<Field>{Field::lblErrCounter, Field::txtState},
                "a corrupt or refused answer decoded something");
        return 0;
    }
    require(form.lampsShown == std::vector<ops::Lamp>{ops::Lamp::imgConnected},
            "receive event must end with the green lamp only");

    std::set<Field> allowed{Field::lblErrCounter, Field::txtState};
    switch (vars.CmdType) {
    case 1:
        for (int field = 0; field < modbus::kValueFieldCount; ++field)
            allowed.insert(ops::valueField(field));
        checkQueryFields(form, before, answer, startText);
        break;
    case 5:
    case 6: {
        const bool change = vars.CmdType == 5;
        if (answer.size() >= (change ? 4U : 1U)) {
            allowed.insert(Field::txtSetID0);
            allowed.insert(Field::txtStationID);
            // A plain echo repeats bytes 0..5 of the request; it carries the new address in
            // the request's byte 5.
            const auto &sent = varsBefore.LastRequest;
            const bool echo = change && answer.size() >= 6 &&
                              std::equal(sent.begin(), sent.begin() + 6, answer.begin());
            const int address = !change ? answer[0] : echo ? sent[5] : answer[3];
            require(form.text(Field::txtSetID0) == QString::number(address), "txtSetID(0)");
            require(form.text(Field::txtStationID) == QString::number(address), "txtStationID");
        }
        break;
    }
    case 7:
        if (answer.size() >= 14) {
            allowed.insert(Field::TXTtype);
            const QString info =
                QString::fromLatin1(reinterpret_cast<const char *>(answer.data()) + 3, 11);
            require(form.text(Field::TXTtype) == info, "TXTtype differs from bytes 3..13");
        }
        break;
    default:
        break;
    }
    for (const Field field : form.written)
        require(allowed.count(field) != 0, "a field outside the answer's kind was written");
    for (const auto &[field, text] : before)
        if (!allowed.count(field))
            require(form.text(field) == text, "a field outside the answer's kind changed");
    return 0;
}
