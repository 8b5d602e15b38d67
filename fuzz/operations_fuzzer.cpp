// Sequences of the operator's presses, answers from the line and edits of any field with
// any text, over the test fakes. After every step the window's rules, written out here as
// a model of their own, say whether it shows one message and sends nothing, or sends one
// frame, and which bytes that frame holds; nothing else may reach the line.
#include "modbus/crc16.h"
#include "operations/address_operations.h"
#include "operations/device_information.h"
#include "operations/parameter_write.h"
#include "operations/polling.h"
#include "operations/receive_handler.h"
#include "operations/single_query.h"
#include "support/fake_form.h"
#include "support/fake_serial_control.h"
#include "values/numeric_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using ops::Field;
using testing_support::FakeForm;
using testing_support::FakeMessageBox;
using testing_support::FakeSerialControl;
using testing_support::FakeTimer;
using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "operation rule broken: %s\n", what);
    std::abort();
}

void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// What one step must lead to.
struct Outcome
{
    const char *message = nullptr; // shown, and nothing sent
    Bytes frame;                   // bytes 0..5 built (CRC added by the check)
    bool written = false;          // the frame goes on the line
    int threshold = -1;            // RThreshold armed, -1: untouched
};

Outcome refused(const char *message)
{
    Outcome outcome;
    outcome.message = message;
    return outcome;
}

Bytes withCrc(Bytes bytes)
{
    modbus::appendCrc(bytes);
    return bytes;
}

std::optional<double> number(const FakeForm &form, Field field)
{
    return values::numericValue(form.text(field).toStdString());
}

std::optional<int> byteOf(double whole)
{
    if (whole < 0 || whole > 255)
        return std::nullopt;
    return static_cast<int>(whole);
}

// Halves to the even neighbour.
double nearest(double value)
{
    const double down = std::floor(value);
    const double above = value - down;
    if (above != 0.5)
        return above < 0.5 ? down : down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

Outcome query(const FakeForm &form, bool open)
{
    const auto station = number(form, Field::txtStationID);
    const auto function = number(form, Field::txtFunID);
    const auto count = number(form, Field::txtDataLength);
    const auto start = number(form, Field::txtStartID);
    if (!station)
        return refused("你输入的设备地址格式有误!");
    if (!function)
        return refused("你输入的功能码格式有误!");
    if (!count)
        return refused("你输入的数据长度格式有误!");
    if (!start)
        return refused("你输入的起始地址格式有误!");
    if (std::floor(*count) < 1 || std::floor(*count) > 15)
        return refused("你输入的数据长度格式有误,正确的值应该为1-15!");
    const auto s = byteOf(std::floor(*station));
    if (!s)
        return refused("你输入的设备地址格式有误!");
    const auto f = byteOf(nearest(*function));
    if (!f)
        return refused("你输入的功能码格式有误!");
    const auto a = byteOf(std::floor(*start));
    if (!a)
        return refused("你输入的起始地址格式有误!");
    if (!open)
        return refused("打开串口出错，请确定串口是否已被占用");
    const int n = static_cast<int>(std::floor(*count));
    Outcome sent;
    sent.frame = {static_cast<std::uint8_t>(*s),
                  static_cast<std::uint8_t>(*f),
                  0,
                  static_cast<std::uint8_t>(*a),
                  0,
                  static_cast<std::uint8_t>(n)};
    sent.written = true;
    sent.threshold = 2 * n + 5;
    return sent;
}

// The station of the parameter write and the device information: rounded, 0..255.
std::optional<int> roundedStation(const FakeForm &form)
{
    const auto station = number(form, Field::txtStationID);
    if (!station)
        return std::nullopt;
    return byteOf(nearest(*station));
}

Outcome parameterWrite(const FakeForm &form, int index, bool open)
{
    const auto typed = number(form, ops::valueField(index + 3));
    if (!typed)
        return refused("你输入的值有误，请输入0-9的数据，不能含字母！");
    float v = static_cast<float>(*typed);
    const bool signedRow = index <= 3;
    if (signedRow && v < 0)
        v += 65536.0F;
    if (index == 4 && v > 2)
        return refused("你输入的值有误，正确的值范围为0-2!");
    if (index == 5 && v != 2400 && v != 4800 && v != 9600 && v != 19200 && v != 38400)
        return refused("你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!");
    const double value = nearest(static_cast<double>(v));
    if (!(value >= 0 && value <= 65535)) {
        return refused(index == 4  ? "你输入的值有误，正确的值范围为0-2!"
                       : signedRow ? "你输入的值有误，正确的值范围为-65536到65535!"
                                   : "你输入的值有误，正确的值范围为0-65535!");
    }
    const auto station = roundedStation(form);
    if (!station)
        return refused("你输入的设备地址格式有误!");
    const int word = static_cast<int>(value);
    Outcome sent;
    sent.frame = {static_cast<std::uint8_t>(*station),
                  0x06,
                  0x0A,
                  static_cast<std::uint8_t>(2 * index),
                  static_cast<std::uint8_t>(word >> 8),
                  static_cast<std::uint8_t>(word & 0xFF)};
    sent.written = open;
    sent.threshold = 8;
    return sent;
}

Outcome deviceInformation(const FakeForm &form, bool open)
{
    const auto station = roundedStation(form);
    if (!station)
        return refused("你输入的设备地址格式有误!");
    Outcome sent;
    sent.frame = {static_cast<std::uint8_t>(*station), 0x26, 0, 0, 0, 5};
    sent.written = open;
    sent.threshold = 16;
    return sent;
}

Outcome addressRead(bool open)
{
    Outcome sent;
    sent.frame = {0xFA, 0x03, 0, 0, 0, 1};
    sent.written = open;
    sent.threshold = 7;
    return sent;
}

Outcome addressChange(const FakeForm &form, bool open)
{
    const auto source = number(form, Field::txtSetID0);
    if (!source)
        return refused("你输入的原设备地址格式有误!");
    const auto target = number(form, Field::txtSetID1);
    if (!target)
        return refused("你输入的目标设备地址格式有误!");
    const double from = std::floor(*source);
    const double to = std::floor(*target);
    if (from == 0 || to == 0)
        return refused("请指定正确的设备地址，正确值范围为1-250");
    if (to > 250)
        return refused("请指定正确的设备地址，正确值范围为1-250!");
    if (from < 0 || from > 255)
        return refused("你输入的原设备地址格式有误!");
    if (to < 0)
        return refused("你输入的目标设备地址格式有误!");
    Outcome sent;
    sent.frame = {static_cast<std::uint8_t>(from), 0x06, 0x0B, 0x00, 0x00,
                  static_cast<std::uint8_t>(to)};
    sent.written = open;
    sent.threshold = 8;
    return sent;
}

QString sentText(const Bytes &frame)
{
    QString text;
    for (const std::uint8_t byte : frame)
        text += QString::asprintf("%02X ", byte);
    return text;
}

// Texts the operator might type: the fuzzer's own, or one of a few that sit on the rules'
// edges.
QString typedText(FuzzedDataProvider &input)
{
    static const char *const kEdges[] = {
        "",      "0",       "1",      "-0",     ".5",     "1.",  "2.5",  "255", "255.5",
        "256",   "-0.5",    "250",    "251",    "15",     "16",  "49.9", "50",  "60000",
        "3",     "9600",    "-1",     "1e3",    "1e309",  "inf", "0x10", "1,5", " 7 ",
        "65535", "65535.5", "-65536", "-65537", "1e-400", "2.4"};
    if (input.ConsumeBool())
        return QString::fromUtf8(input.PickValueInArray(kEdges));
    return QString::fromStdString(input.ConsumeRandomLengthString(24));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    FakeForm form;
    ops::FormVars vars;
    FakeSerialControl port;
    FakeMessageBox messages;
    FakeTimer timer;
    const ops::Window window{form, vars, port, messages, timer};
    // The window delivers the port's events to the receive handler.
    QObject::connect(&port, &ops::CommControl::OnComm, [&window] { ops::MSComm1_OnComm(window); });
    form.texts[Field::txtDataLength] = QStringLiteral("15");
    form.texts[Field::lblCounter] = QStringLiteral("1");
    form.texts[Field::lblErrCounter] = QStringLiteral("1");
    port.open = input.ConsumeBool();
    vars.CommReady = input.ConsumeBool();
    vars.RecCount = 1;

    static const Field kTyped[] = {Field::txtStationID,  Field::txtFunID,  Field::txtStartID,
                                   Field::txtDataLength, Field::txtSetID0, Field::txtSetID1,
                                   Field::txtTimerSet};
    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        const std::size_t shownBefore = messages.shown.size();
        const qsizetype writtenBefore = port.written.size();
        const QString commandBefore = form.text(Field::txtCommand);
        const int thresholdBefore = port.rThreshold();
        const bool open = port.open;
        Outcome expected;
        bool sends = true; // a press that may send: the outcome is checked
        switch (input.ConsumeIntegralInRange(0, 11)) {
        case 0:
        case 1: {
            // An edit of a field, or of a row's value.
            const int which = input.ConsumeIntegralInRange(0, 18);
            const Field field = which < 7 ? kTyped[which] : ops::valueField(which - 4);
            form.texts[field] = typedText(input);
            sends = false;
            break;
        }
        case 2:
            expected = query(form, open);
            ops::comDoOnce_Click(window);
            break;
        case 3: {
            const int index = input.ConsumeIntegralInRange(0, 11);
            expected = parameterWrite(form, index, open);
            ops::cmdSet_Click(window, index);
            break;
        }
        case 4:
            expected = deviceInformation(form, open);
            ops::Command2_Click(window);
            break;
        case 5:
            expected = addressRead(open);
            ops::cmdReadAdd_Click(window);
            break;
        case 6:
            expected = addressChange(form, open);
            ops::cmdChangeID_Click(window);
            break;
        case 7: {
            // A tick repairs a count that is not a number, then queries while allowed.
            if (!number(form, Field::txtDataLength))
                form.texts[Field::txtDataLength] = QStringLiteral("1");
            const auto sent = number(form, Field::lblCounter);
            if (vars.CommReady)
                expected = query(form, open);
            if (sent && *sent > 65535)
                form.texts[Field::lblCounter] = QStringLiteral("0");
            ops::Timer2_Timer(window);
            break;
        }
        case 8: {
            const auto period = number(form, Field::txtTimerSet);
            if (!period)
                expected = refused("你输入的定时时长格式有误，应该为数字，值范围为100-60000!");
            else if (std::floor(*period) < 50 || std::floor(*period) > 60000)
                expected = refused("你输入的定时时长格式有误，应该为数字，值范围为50-60000!");
            ops::cmdOneM_Click(window);
            if (!expected.message) {
                require(vars.CommReady && timer.enabled, "accepted period did not start polling");
                require(timer.intervalMs == static_cast<int>(nearest(*period)), "period");
            }
            break;
        }
        case 9:
            ops::cmdStopOnce_Click(window);
            break;
        case 10: {
            // Bytes from the line, with or without reaching the threshold.
            const auto bytes = input.ConsumeBytes<char>(input.ConsumeIntegralInRange(0, 40));
            port.receive(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
            sends = false;
            require(messages.shown.size() == shownBefore, "an answer showed a message");
            break;
        }
        default:
            port.open = !port.open;
            sends = false;
            break;
        }
        require(port.written.size() - writtenBefore <= 1, "more than one frame for one press");
        if (!sends) {
            require(port.written.size() == writtenBefore, "a frame without a press");
            continue;
        }
        if (expected.message) {
            require(messages.shown.size() == shownBefore + 1, "expected message not shown");
            require(messages.shown.back().text == QString::fromUtf8(expected.message),
                    "another message than the rules give");
            require(port.written.size() == writtenBefore, "a frame went out with a message");
            continue;
        }
        require(messages.shown.size() == shownBefore, "a message the rules do not give");
        if (expected.frame.empty()) {
            require(port.written.size() == writtenBefore, "a frame the rules do not give");
            require(form.text(Field::txtCommand) == commandBefore, "sent text changed");
            require(port.rThreshold() == thresholdBefore, "receive threshold changed");
            continue;
        }
        const Bytes frame = withCrc(expected.frame);
        require(form.text(Field::txtCommand) == sentText(frame), "sent text differs from frame");
        require(port.rThreshold() == expected.threshold, "receive threshold");
        require(vars.LastRequest.size() == frame.size() &&
                    std::equal(frame.begin(), frame.end(), vars.LastRequest.begin()),
                "last request");
        if (!expected.written) {
            require(port.written.size() == writtenBefore, "a frame on a closed port");
            continue;
        }
        require(port.written.size() == writtenBefore + 1, "the frame was not sent");
        const QByteArray &wire = port.written.back();
        require(wire == QByteArray(reinterpret_cast<const char *>(frame.data()),
                                   static_cast<qsizetype>(frame.size())),
                "frame on the line differs from the rules");
    }
    return 0;
}
