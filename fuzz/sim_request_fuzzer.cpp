// The simulated device's request side: arbitrary bytes in arbitrary pieces and gaps through
// the frame splitter, every frame it yields into the device model, and arbitrary frames
// (with and without a correct CRC) straight into the model. Checked: no byte is lost or
// invented by the splitter, frames carry a valid CRC, the buffer stays bounded, and every
// answer is one a Modbus device may give to that request.
#include "modbus/crc16.h"
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

// CRC-16/MODBUS, bitwise, low byte first on the wire.
bool crcHolds(std::span<const std::uint8_t> frame)
{
    if (frame.size() < 4)
        return false;
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i + 2 < frame.size(); ++i) {
        crc ^= frame[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

int word(std::span<const std::uint8_t> frame, std::size_t at)
{
    return frame[at] << 8 | frame[at + 1];
}

bool isException(const Bytes &answer, std::uint8_t function)
{
    return answer.size() == 5 && answer[1] == (function | 0x80) && answer[2] >= 1 && answer[2] <= 3;
}

// What a device at `station` may answer to one frame.
void checkAnswer(std::span<const std::uint8_t> request, const Bytes &answer, int station)
{
    if (answer.empty())
        return;
    require(crcHolds(request), "answered a frame with a wrong CRC");
    require(crcHolds(answer), "answer with a wrong CRC");
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
        require(answer.size() == 7 && answer[1] == 0x03 && answer[2] == 2, "discovery answer");
        return;
    }
    if (isException(answer, function))
        return;
    require(request.size() == 8, "normal answer to a request of a wrong length");
    switch (function) {
    case 0x03: {
        const int count = word(request, 4);
        require(count >= 1 && word(request, 2) + count <= 15, "read outside registers 0..14");
        require(answer.size() == static_cast<std::size_t>(5 + 2 * count) && answer[1] == 0x03 &&
                    answer[2] == 2 * count,
                "read answer layout");
        break;
    }
    case 0x06:
        require(std::equal(answer.begin(), answer.end(), request.begin(), request.end()),
                "write answered by something other than its echo");
        break;
    case 0x26:
        require(answer.size() == 16 && answer[1] == 0x26 && answer[2] == 11,
                "device information layout");
        break;
    default:
        fail("normal answer to an unsupported function");
    }
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
            require(crcHolds(frame), "splitter gave a frame with a wrong CRC");
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
            const std::uint16_t crc = modbus::Crc16(frame);
            frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
            frame.push_back(static_cast<std::uint8_t>(crc >> 8));
            handle(model, frame, input.ConsumeFloatingPointInRange(0.0, 1e6));
        }
        break;
    }
    return 0;
}
