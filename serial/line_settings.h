#pragma once
#include <QString>
#include <optional>

namespace serial {

// The tool's own names, so that only the transports know the system's or Qt's.
enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// The four fields of a settings text such as "9600,N,8,1". The defaults are the text
// "9600,N,8,1", which a serial control starts with.
struct LineSettings
{
    qint32 baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8; // 5 to 8
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings &, const LineSettings &) = default;
};

// "speed,parity,data bits,stop bits": speed a positive decimal number, parity one of
// N E O M S (none, even, odd, mark, space; either case), data bits 5 to 8, stop bits 1, 1.5
// or 2. Blanks around a field are allowed. Anything else gives nullopt.
[[nodiscard]] std::optional<LineSettings> parseLineSettings(const QString &text);

// The settings as a settings text: "9600,N,8,1", "19200,E,8,1", "4800,O,5,1.5".
[[nodiscard]] QString lineSettingsText(const LineSettings &settings);

// One character on the line in half bits (1.5 stop bits are 3): start bit, data bits, parity
// bit if any, stop bits. "9600,N,8,1" gives 20, "9600,E,8,1" 22, "4800,O,5,1.5" 17.
[[nodiscard]] int halfBitsPerCharacter(const LineSettings &settings);

} // namespace serial
