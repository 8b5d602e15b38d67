// The simulated device's request side: arbitrary bytes in arbitrary pieces and gaps through
// the frame splitter, every frame it yields into the device model, and arbitrary frames
// (with and without a correct CRC) straight into the model. Checked: no byte is lost or
// invented by the splitter, frames carry a valid CRC, the buffer stays bounded, and every
// answer is one a Modbus device may give to that request.
#include "modbus/crc16.h"
#include "modbus/exchange_judge.h"
#include "modbus/register_map.h"
#include "modbus/request_frame.h"
#include "sim/device_model.h"
#include "sim/frame_splitter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The 3.5-character silence of 9600 baud: 3.646 ms.
constexpr double kSilence = 0.0036458;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "simulated device rule broken: %s\n", what);
    std::abort();
}

void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

int word(std::span<const std::uint8_t> frame, std::size_t at)
{
    return frame[at] << 8 | frame[at + 1];
}

// What a device at `station` may answer to one frame: what the tool's judge takes for the
// answer or a refusal of it, and nothing the RX904 does not hold.
void checkAnswer(std::span<const std::uint8_t> request, const Bytes &answer, int station)
{
    if (answer.empty())
        return;
    require(modbus::crcHolds(request), "answered a frame with a wrong CRC");
    require(answer.size() <= 256, "answer longer than an RTU frame");
    const std::uint8_t addressed = request[0];
    const std::uint8_t function = request[1];
    require(addressed != 0, "answered a broadcast");
    require(answer[0] == station, "answer not from the device's own address");
    if (addressed != station) {
        // Only the discovery read is answered for another station.
        require(addressed == modbus::kAddressReadStation && request.size() == 8 &&
                    function == 0x03 && word(request, 2) == 0 && word(request, 4) == 1,
                "answered a request for another station");
    }
    const modbus::Judgement judgement = modbus::judgeAnswer(request, answer, addressed != station);
    if (judgement.verdict == modbus::Verdict::Exception) {
        require(judgement.exceptionCode >= 1 && judgement.exceptionCode <= 3, "exception code");
        require(judgement.received == judgement.expected, "bytes after a refusal");
        return;
    }
    require(judgement.verdict == modbus::Verdict::Complete, "answer the judge does not take");
    require(modbus::expectedAnswerLength(request).has_value(),
            "normal answer to a request of no known answer");
    require(function == 0x03 || function == 0x06 || function == 0x26,
            "normal answer to an unsupported function");
    if (function == 0x03)
        require(word(request, 2) + word(request, 4) <= 15, "read outside registers 0..14");
}

void handle(sim::DeviceModel &model, std::span<const std::uint8_t> frame, double now)
{
    const int station = model.station();
    const Bytes answer = model.handleRequest(frame, now);
    checkAnswer(frame, answer, station);
    require(model.station() >= 1 && model.station() <= 250, "station left 1..250");
    if (model.station() != station) {
        // Only an address change (or a write of the address row) may move the device.
        require(frame.size() == 8 && frame[1] == 0x06 &&
                    (word(frame, 2) == modbus::kAddressRegister || word(frame, 2) == 0x0A0C) &&
                    word(frame, 4) == model.station(),
                "station changed by something other than an address write");
    }
    for (int index = 0; index < sim::kRegisterCount; ++index)
        (void)model.registerValue(index, now);
}

void splitStream(FuzzedDataProvider &input, sim::DeviceModel &model)
{
    sim::FrameSplitter splitter(kSilence);
    double now = 0.0;
    std::size_t fed = 0;
    std::size_t framed = 0;
    std::size_t discarded = 0;
    while (input.remaining_bytes() > 0) {
        // Gaps from none to several silences, in quarter steps of the silence.
        now += kSilence * 0.25 * input.ConsumeIntegralInRange(0, 24);
        std::vector<Bytes> frames;
        if (input.ConsumeIntegralInRange(0, 7) == 0) {
            frames = splitter.poll(now);
        } else {
            const Bytes piece =
                input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 300));
            fed += piece.size();
            frames = splitter.feed(piece, now);
        }
        for (const Bytes &frame : frames) {
            require(modbus::crcHolds(frame), "splitter gave a frame with a wrong CRC");
            require(frame.size() <= sim::FrameSplitter::kCapacity, "frame too long");
            framed += frame.size();
            handle(model, frame, now);
        }
        discarded += splitter.takeDiscarded();
        require(splitter.buffered() <= sim::FrameSplitter::kCapacity, "splitter buffer unbounded");
        require(fed == framed + discarded + splitter.buffered(), "splitter lost or invented bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    sim::DeviceModel model;
    if (input.ConsumeBool())
        model.setStation(input.ConsumeIntegralInRange(1, 250));
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        splitStream(input, model);
        break;
    case 1: {
        // Arbitrary bytes as one frame: mostly a wrong CRC, so mostly silence.
        const Bytes frame = input.ConsumeRemainingBytes<std::uint8_t>();
        handle(model, frame, 1.0);
        break;
    }
    default:
        // Arbitrary requests with a correct CRC, one after another on the same device.
        while (input.remaining_bytes() > 0) {
            Bytes frame = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(2, 12));
            modbus::appendCrc(frame);
            handle(model, frame, input.ConsumeFloatingPointInRange(0.0, 1e6));
        }
        break;
    }
    return 0;
}
