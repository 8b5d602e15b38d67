// Hostile text in every field that an operation reads, through the real window: each
// press either shows the exact message and sends nothing, or puts exactly the expected
// frame on the line. The expectations are worked out by hand from the window's rules (the
// frames' CRCs from the CRC-16/MODBUS definition), not by the tool's own code.
#include "app/frm_main.h"
#include "support/fake_form.h"
#include "support/fake_serial_control.h"
#include "support/qt_printers.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>

using testing_support::FakeMessageBox;
using testing_support::FakeSerialControl;

namespace {

constexpr int kInputCount = 20;

// What the operator types, in the order of the expectation rows below, each with the name
// it has in reports.
struct Input
{
    QString text;
    const char *label;
};

const std::array<Input, kInputCount> &inputs()
{
    static const std::array<Input, kInputCount> typed{{
        {QString(), "(empty)"},
        {QStringLiteral("   "), "(three blanks)"},
        {QStringLiteral("abc"), "abc"},
        {QStringLiteral("1e3"), "1e3"},
        {QStringLiteral("-0"), "-0"},
        {QStringLiteral("0x10"), "0x10"},
        {QStringLiteral("inf"), "inf"},
        {QStringLiteral("nan"), "nan"},
        {QStringLiteral("1,5"), "1,5"},
        {QString::fromUtf8("\xEF\xBC\x91\xEF\xBC\x92"), "\xEF\xBC\x91\xEF\xBC\x92 (full-width)"},
        {QStringLiteral("1e309"), "1e309"},
        {QStringLiteral("-1e309"), "-1e309"},
        // Overflows a double.
        {QString(10000, QLatin1Char('9')), "(10000 x 9)"},
        // A long way of writing 7.
        {QString(9999, QLatin1Char('0')) + QLatin1Char('7'), "(9999 x 0, then 7)"},
        {QStringLiteral("+"), "+"},
        {QStringLiteral("."), "."},
        {QStringLiteral("1."), "1."},
        {QStringLiteral(".5"), ".5"},
        {QStringLiteral("--1"), "--1"},
        {QStringLiteral("\t7\n"), "\\t7\\n"},
    }};
    return typed;
}

const char *const kBadStation = "你输入的设备地址格式有误!";
const char *const kBadFunction = "你输入的功能码格式有误!";
const char *const kBadDataLength = "你输入的数据长度格式有误!";
const char *const kBadStart = "你输入的起始地址格式有误!";
const char *const kDataLengthRange = "你输入的数据长度格式有误,正确的值应该为1-15!";
const char *const kBadPeriod = "你输入的定时时长格式有误，应该为数字，值范围为100-60000!";
const char *const kPeriodRange = "你输入的定时时长格式有误，应该为数字，值范围为50-60000!";
const char *const kBadValue = "你输入的值有误，请输入0-9的数据，不能含字母！";
const char *const kControlModeRange = "你输入的值有误，正确的值范围为0-2!";
const char *const kBaudRates = "你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!";
const char *const kBadSource = "你输入的原设备地址格式有误!";
const char *const kBadTarget = "你输入的目标设备地址格式有误!";
const char *const kAddressZero = "请指定正确的设备地址，正确值范围为1-250";
const char *const kAddressAbove250 = "请指定正确的设备地址，正确值范围为1-250!";

// One press's outcome: a message with nothing sent, one frame on the line, or, for the
// polling start (which sends nothing itself), the period the timer runs at.
struct Expected
{
    const char *message = nullptr;
    const char *frame = nullptr;
    int period = 0;
};

constexpr Expected message(const char *text)
{
    return {text, nullptr, 0};
}
constexpr Expected frame(const char *hex)
{
    return {nullptr, hex, 0};
}
constexpr Expected period(int milliseconds)
{
    return {nullptr, nullptr, milliseconds};
}

enum class Operation {
    Query,     // "单次"
    Tick,      // one tick of the polling timer, which runs the query
    PollStart, // "循环"
    Set,       // cmdSet(index)
    Info,      // "读设备信息"
    ChangeId,  // "执行" of the address change
};

// Besides the typed field, the window holds its start-up texts (station 1, function 3,
// start 0, count 15, addresses 1 and 1); a parameter write gets a valid value in its row
// (9600 for the line speed, 1 elsewhere) and an address change the address 2 in the other
// field.
struct Group
{
    Operation operation;
    int index; // cmdSet index, -1 for the others
    const char *field;
    std::array<Expected, kInputCount> expected;
};

const Group kGroups[] = {
    {Operation::Query,
     -1,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 03 00 00 00 0F 04 1F"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 03 00 00 00 0F 05 A8"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 03 00 00 00 0F 05 CE"), // "1."
         frame("00 03 00 00 00 0F 04 1F"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 03 00 00 00 0F 05 A8"), // "\t7\n"
     }}},
    {Operation::Query,
     -1,
     "txtFunID",
     {{
         message(kBadFunction),            // ""
         message(kBadFunction),            // "   "
         message(kBadFunction),            // "abc"
         message(kBadFunction),            // "1e3"
         frame("01 00 00 00 00 0F 41 CE"), // "-0"
         message(kBadFunction),            // "0x10"
         message(kBadFunction),            // "inf"
         message(kBadFunction),            // "nan"
         message(kBadFunction),            // "1,5"
         message(kBadFunction),            // "１２"
         message(kBadFunction),            // "1e309"
         message(kBadFunction),            // "-1e309"
         message(kBadFunction),            // 9 x 10000
         frame("01 07 00 00 00 0F F4 0E"), // 0 x 9999 then 7
         message(kBadFunction),            // "+"
         message(kBadFunction),            // "."
         frame("01 01 00 00 00 0F 7C 0E"), // "1."
         frame("01 00 00 00 00 0F 41 CE"), // ".5"
         message(kBadFunction),            // "--1"
         frame("01 07 00 00 00 0F F4 0E"), // "\t7\n"
     }}},
    {Operation::Query,
     -1,
     "txtStartID",
     {{
         message(kBadStart),               // ""
         message(kBadStart),               // "   "
         message(kBadStart),               // "abc"
         message(kBadStart),               // "1e3"
         frame("01 03 00 00 00 0F 05 CE"), // "-0"
         message(kBadStart),               // "0x10"
         message(kBadStart),               // "inf"
         message(kBadStart),               // "nan"
         message(kBadStart),               // "1,5"
         message(kBadStart),               // "１２"
         message(kBadStart),               // "1e309"
         message(kBadStart),               // "-1e309"
         message(kBadStart),               // 9 x 10000
         frame("01 03 00 07 00 0F B4 0F"), // 0 x 9999 then 7
         message(kBadStart),               // "+"
         message(kBadStart),               // "."
         frame("01 03 00 01 00 0F 54 0E"), // "1."
         frame("01 03 00 00 00 0F 05 CE"), // ".5"
         message(kBadStart),               // "--1"
         frame("01 03 00 07 00 0F B4 0F"), // "\t7\n"
     }}},
    {Operation::Query,
     -1,
     "txtDataLength",
     {{
         message(kBadDataLength),          // ""
         message(kBadDataLength),          // "   "
         message(kBadDataLength),          // "abc"
         message(kDataLengthRange),        // "1e3"
         message(kDataLengthRange),        // "-0"
         message(kBadDataLength),          // "0x10"
         message(kBadDataLength),          // "inf"
         message(kBadDataLength),          // "nan"
         message(kBadDataLength),          // "1,5"
         message(kBadDataLength),          // "１２"
         message(kBadDataLength),          // "1e309"
         message(kBadDataLength),          // "-1e309"
         message(kBadDataLength),          // 9 x 10000
         frame("01 03 00 00 00 07 04 08"), // 0 x 9999 then 7
         message(kBadDataLength),          // "+"
         message(kBadDataLength),          // "."
         frame("01 03 00 00 00 01 84 0A"), // "1."
         message(kDataLengthRange),        // ".5"
         message(kBadDataLength),          // "--1"
         frame("01 03 00 00 00 07 04 08"), // "\t7\n"
     }}},
    {Operation::Tick,
     -1,
     "txtDataLength",
     {{
         frame("01 03 00 00 00 01 84 0A"), // ""
         frame("01 03 00 00 00 01 84 0A"), // "   "
         frame("01 03 00 00 00 01 84 0A"), // "abc"
         message(kDataLengthRange),        // "1e3"
         message(kDataLengthRange),        // "-0"
         frame("01 03 00 00 00 01 84 0A"), // "0x10"
         frame("01 03 00 00 00 01 84 0A"), // "inf"
         frame("01 03 00 00 00 01 84 0A"), // "nan"
         frame("01 03 00 00 00 01 84 0A"), // "1,5"
         frame("01 03 00 00 00 01 84 0A"), // "１２"
         frame("01 03 00 00 00 01 84 0A"), // "1e309"
         frame("01 03 00 00 00 01 84 0A"), // "-1e309"
         frame("01 03 00 00 00 01 84 0A"), // 9 x 10000
         frame("01 03 00 00 00 07 04 08"), // 0 x 9999 then 7
         frame("01 03 00 00 00 01 84 0A"), // "+"
         frame("01 03 00 00 00 01 84 0A"), // "."
         frame("01 03 00 00 00 01 84 0A"), // "1."
         message(kDataLengthRange),        // ".5"
         frame("01 03 00 00 00 01 84 0A"), // "--1"
         frame("01 03 00 00 00 07 04 08"), // "\t7\n"
     }}},
    {Operation::PollStart,
     -1,
     "txtTimerSet",
     {{
         message(kBadPeriod),   // ""
         message(kBadPeriod),   // "   "
         message(kBadPeriod),   // "abc"
         period(1000),          // "1e3"
         message(kPeriodRange), // "-0"
         message(kBadPeriod),   // "0x10"
         message(kBadPeriod),   // "inf"
         message(kBadPeriod),   // "nan"
         message(kBadPeriod),   // "1,5"
         message(kBadPeriod),   // "１２"
         message(kBadPeriod),   // "1e309"
         message(kBadPeriod),   // "-1e309"
         message(kBadPeriod),   // 9 x 10000
         message(kPeriodRange), // 0 x 9999 then 7
         message(kBadPeriod),   // "+"
         message(kBadPeriod),   // "."
         message(kPeriodRange), // "1."
         message(kPeriodRange), // ".5"
         message(kBadPeriod),   // "--1"
         message(kPeriodRange), // "\t7\n"
     }}},
    {Operation::Set,
     0,
     "txtValue(3)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 00 03 E8 8A AC"), // "1e3"
         frame("01 06 0A 00 00 00 8A 12"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 00 00 07 CB D0"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 00 00 01 4B D2"), // "1."
         frame("01 06 0A 00 00 00 8A 12"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 00 00 07 CB D0"), // "\t7\n"
     }}},
    {Operation::Set,
     1,
     "txtValue(4)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 02 03 E8 2B 6C"), // "1e3"
         frame("01 06 0A 02 00 00 2B D2"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 02 00 07 6A 10"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 02 00 01 EA 12"), // "1."
         frame("01 06 0A 02 00 00 2B D2"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 02 00 07 6A 10"), // "\t7\n"
     }}},
    {Operation::Set,
     2,
     "txtValue(5)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 04 03 E8 CB 6D"), // "1e3"
         frame("01 06 0A 04 00 00 CB D3"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 04 00 07 8A 11"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 04 00 01 0A 13"), // "1."
         frame("01 06 0A 04 00 00 CB D3"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 04 00 07 8A 11"), // "\t7\n"
     }}},
    {Operation::Set,
     3,
     "txtValue(6)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 06 03 E8 6A AD"), // "1e3"
         frame("01 06 0A 06 00 00 6A 13"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 06 00 07 2B D1"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 06 00 01 AB D3"), // "1."
         frame("01 06 0A 06 00 00 6A 13"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 06 00 07 2B D1"), // "\t7\n"
     }}},
    {Operation::Set,
     4,
     "txtValue(7)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         message(kControlModeRange),       // "1e3"
         frame("01 06 0A 08 00 00 0B D0"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         message(kControlModeRange),       // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 08 00 01 CA 10"), // "1."
         frame("01 06 0A 08 00 00 0B D0"), // ".5"
         message(kBadValue),               // "--1"
         message(kControlModeRange),       // "\t7\n"
     }}},
    {Operation::Set,
     5,
     "txtValue(8)",
     {{
         message(kBadValue),  // ""
         message(kBadValue),  // "   "
         message(kBadValue),  // "abc"
         message(kBaudRates), // "1e3"
         message(kBaudRates), // "-0"
         message(kBadValue),  // "0x10"
         message(kBadValue),  // "inf"
         message(kBadValue),  // "nan"
         message(kBadValue),  // "1,5"
         message(kBadValue),  // "１２"
         message(kBadValue),  // "1e309"
         message(kBadValue),  // "-1e309"
         message(kBadValue),  // 9 x 10000
         message(kBaudRates), // 0 x 9999 then 7
         message(kBadValue),  // "+"
         message(kBadValue),  // "."
         message(kBaudRates), // "1."
         message(kBaudRates), // ".5"
         message(kBadValue),  // "--1"
         message(kBaudRates), // "\t7\n"
     }}},
    {Operation::Set,
     6,
     "txtValue(9)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 0C 03 E8 4A AF"), // "1e3"
         frame("01 06 0A 0C 00 00 4A 11"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 0C 00 07 0B D3"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 0C 00 01 8B D1"), // "1."
         frame("01 06 0A 0C 00 00 4A 11"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 0C 00 07 0B D3"), // "\t7\n"
     }}},
    {Operation::Set,
     7,
     "txtValue(10)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 0E 03 E8 EB 6F"), // "1e3"
         frame("01 06 0A 0E 00 00 EB D1"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 0E 00 07 AA 13"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 0E 00 01 2A 11"), // "1."
         frame("01 06 0A 0E 00 00 EB D1"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 0E 00 07 AA 13"), // "\t7\n"
     }}},
    {Operation::Set,
     8,
     "txtValue(11)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 10 03 E8 8B 69"), // "1e3"
         frame("01 06 0A 10 00 00 8B D7"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 10 00 07 CA 15"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 10 00 01 4A 17"), // "1."
         frame("01 06 0A 10 00 00 8B D7"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 10 00 07 CA 15"), // "\t7\n"
     }}},
    {Operation::Set,
     9,
     "txtValue(12)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 12 03 E8 2A A9"), // "1e3"
         frame("01 06 0A 12 00 00 2A 17"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 12 00 07 6B D5"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 12 00 01 EB D7"), // "1."
         frame("01 06 0A 12 00 00 2A 17"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 12 00 07 6B D5"), // "\t7\n"
     }}},
    {Operation::Set,
     10,
     "txtValue(13)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 14 03 E8 CA A8"), // "1e3"
         frame("01 06 0A 14 00 00 CA 16"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 14 00 07 8B D4"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 14 00 01 0B D6"), // "1."
         frame("01 06 0A 14 00 00 CA 16"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 14 00 07 8B D4"), // "\t7\n"
     }}},
    {Operation::Set,
     11,
     "txtValue(14)",
     {{
         message(kBadValue),               // ""
         message(kBadValue),               // "   "
         message(kBadValue),               // "abc"
         frame("01 06 0A 16 03 E8 6B 68"), // "1e3"
         frame("01 06 0A 16 00 00 6B D6"), // "-0"
         message(kBadValue),               // "0x10"
         message(kBadValue),               // "inf"
         message(kBadValue),               // "nan"
         message(kBadValue),               // "1,5"
         message(kBadValue),               // "１２"
         message(kBadValue),               // "1e309"
         message(kBadValue),               // "-1e309"
         message(kBadValue),               // 9 x 10000
         frame("01 06 0A 16 00 07 2A 14"), // 0 x 9999 then 7
         message(kBadValue),               // "+"
         message(kBadValue),               // "."
         frame("01 06 0A 16 00 01 AA 16"), // "1."
         frame("01 06 0A 16 00 00 6B D6"), // ".5"
         message(kBadValue),               // "--1"
         frame("01 06 0A 16 00 07 2A 14"), // "\t7\n"
     }}},
    {Operation::Set,
     0,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 00 00 01 4A 03"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 00 00 01 4B B4"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 00 00 01 4B D2"), // "1."
         frame("00 06 0A 00 00 01 4A 03"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 00 00 01 4B B4"), // "\t7\n"
     }}},
    {Operation::Set,
     1,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 02 00 01 EB C3"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 02 00 01 EA 74"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 02 00 01 EA 12"), // "1."
         frame("00 06 0A 02 00 01 EB C3"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 02 00 01 EA 74"), // "\t7\n"
     }}},
    {Operation::Set,
     2,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 04 00 01 0B C2"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 04 00 01 0A 75"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 04 00 01 0A 13"), // "1."
         frame("00 06 0A 04 00 01 0B C2"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 04 00 01 0A 75"), // "\t7\n"
     }}},
    {Operation::Set,
     3,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 06 00 01 AA 02"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 06 00 01 AB B5"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 06 00 01 AB D3"), // "1."
         frame("00 06 0A 06 00 01 AA 02"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 06 00 01 AB B5"), // "\t7\n"
     }}},
    {Operation::Set,
     4,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 08 00 01 CB C1"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 08 00 01 CA 76"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 08 00 01 CA 10"), // "1."
         frame("00 06 0A 08 00 01 CB C1"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 08 00 01 CA 76"), // "\t7\n"
     }}},
    {Operation::Set,
     5,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 0A 25 80 B0 F1"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 0A 25 80 B1 46"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 0A 25 80 B1 20"), // "1."
         frame("00 06 0A 0A 25 80 B0 F1"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 0A 25 80 B1 46"), // "\t7\n"
     }}},
    {Operation::Set,
     6,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 0C 00 01 8A 00"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 0C 00 01 8B B7"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 0C 00 01 8B D1"), // "1."
         frame("00 06 0A 0C 00 01 8A 00"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 0C 00 01 8B B7"), // "\t7\n"
     }}},
    {Operation::Set,
     7,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 0E 00 01 2B C0"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 0E 00 01 2A 77"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 0E 00 01 2A 11"), // "1."
         frame("00 06 0A 0E 00 01 2B C0"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 0E 00 01 2A 77"), // "\t7\n"
     }}},
    {Operation::Set,
     8,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 10 00 01 4B C6"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 10 00 01 4A 71"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 10 00 01 4A 17"), // "1."
         frame("00 06 0A 10 00 01 4B C6"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 10 00 01 4A 71"), // "\t7\n"
     }}},
    {Operation::Set,
     9,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 12 00 01 EA 06"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 12 00 01 EB B1"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 12 00 01 EB D7"), // "1."
         frame("00 06 0A 12 00 01 EA 06"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 12 00 01 EB B1"), // "\t7\n"
     }}},
    {Operation::Set,
     10,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 14 00 01 0A 07"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 14 00 01 0B B0"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 14 00 01 0B D6"), // "1."
         frame("00 06 0A 14 00 01 0A 07"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 14 00 01 0B B0"), // "\t7\n"
     }}},
    {Operation::Set,
     11,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 06 0A 16 00 01 AB C7"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 06 0A 16 00 01 AA 70"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 06 0A 16 00 01 AA 16"), // "1."
         frame("00 06 0A 16 00 01 AB C7"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 06 0A 16 00 01 AA 70"), // "\t7\n"
     }}},
    {Operation::Info,
     -1,
     "txtStationID",
     {{
         message(kBadStation),             // ""
         message(kBadStation),             // "   "
         message(kBadStation),             // "abc"
         message(kBadStation),             // "1e3"
         frame("00 26 00 00 00 05 C9 DF"), // "-0"
         message(kBadStation),             // "0x10"
         message(kBadStation),             // "inf"
         message(kBadStation),             // "nan"
         message(kBadStation),             // "1,5"
         message(kBadStation),             // "１２"
         message(kBadStation),             // "1e309"
         message(kBadStation),             // "-1e309"
         message(kBadStation),             // 9 x 10000
         frame("07 26 00 00 00 05 C8 68"), // 0 x 9999 then 7
         message(kBadStation),             // "+"
         message(kBadStation),             // "."
         frame("01 26 00 00 00 05 C8 0E"), // "1."
         frame("00 26 00 00 00 05 C9 DF"), // ".5"
         message(kBadStation),             // "--1"
         frame("07 26 00 00 00 05 C8 68"), // "\t7\n"
     }}},
    {Operation::ChangeId,
     -1,
     "txtSetID(0)",
     {{
         message(kBadSource),              // ""
         message(kBadSource),              // "   "
         message(kBadSource),              // "abc"
         message(kBadSource),              // "1e3"
         message(kAddressZero),            // "-0"
         message(kBadSource),              // "0x10"
         message(kBadSource),              // "inf"
         message(kBadSource),              // "nan"
         message(kBadSource),              // "1,5"
         message(kBadSource),              // "１２"
         message(kBadSource),              // "1e309"
         message(kBadSource),              // "-1e309"
         message(kBadSource),              // 9 x 10000
         frame("07 06 0B 00 00 02 0A 49"), // 0 x 9999 then 7
         message(kBadSource),              // "+"
         message(kBadSource),              // "."
         frame("01 06 0B 00 00 02 0A 2F"), // "1."
         message(kAddressZero),            // ".5"
         message(kBadSource),              // "--1"
         frame("07 06 0B 00 00 02 0A 49"), // "\t7\n"
     }}},
    {Operation::ChangeId,
     -1,
     "txtSetID(1)",
     {{
         message(kBadTarget),              // ""
         message(kBadTarget),              // "   "
         message(kBadTarget),              // "abc"
         message(kAddressAbove250),        // "1e3"
         message(kAddressZero),            // "-0"
         message(kBadTarget),              // "0x10"
         message(kBadTarget),              // "inf"
         message(kBadTarget),              // "nan"
         message(kBadTarget),              // "1,5"
         message(kBadTarget),              // "１２"
         message(kBadTarget),              // "1e309"
         message(kBadTarget),              // "-1e309"
         message(kBadTarget),              // 9 x 10000
         frame("01 06 0B 00 00 07 CA 2C"), // 0 x 9999 then 7
         message(kBadTarget),              // "+"
         message(kBadTarget),              // "."
         frame("01 06 0B 00 00 01 4A 2E"), // "1."
         message(kAddressZero),            // ".5"
         message(kBadTarget),              // "--1"
         frame("01 06 0B 00 00 07 CA 2C"), // "\t7\n"
     }}},
};

void PrintTo(const Group &group, std::ostream *out)
{
    *out << group.field;
}

// The press as the report names it.
std::string pressName(const Group &group)
{
    switch (group.operation) {
    case Operation::Query:
        return "单次 (comDoOnce)";
    case Operation::Tick:
        return "polling tick (Timer2_Timer)";
    case Operation::PollStart:
        return "循环 (cmdOneM)";
    case Operation::Set:
        return "设置 cmdSet(" + std::to_string(group.index) + ")" +
               (group.index == 6 ? " (hidden; cmdSet_Click(6))" : "");
    case Operation::Info:
        return "读设备信息 (Command2)";
    case Operation::ChangeId:
        return "执行 (cmdChangeID)";
    }
    return {};
}

// With RX904_BAD_INPUT_REPORT set, each case's outcome is printed for
// scripts/reliability-report.sh.
void reportCase(const Group &group, const char *input, const Expected &expected)
{
    if (qEnvironmentVariableIsEmpty("RX904_BAD_INPUT_REPORT"))
        return;
    std::string outcome;
    if (expected.message)
        outcome = std::string("message ") + expected.message;
    else if (expected.frame)
        outcome = std::string("frame ") + expected.frame;
    else
        outcome = "polling every " + std::to_string(expected.period) + " ms, nothing sent";
    std::printf("RELIABILITY-INPUT\t%s\t%s\t%s\t%s\n", group.field, pressName(group).c_str(), input,
                outcome.c_str());
}

std::string groupName(const testing::TestParamInfo<Group> &info)
{
    static const char *const kOperationNames[] = {"Query",     "Tick", "PollStart",
                                                  "SetButton", "Info", "ChangeId"};
    std::string name = kOperationNames[static_cast<int>(info.param.operation)];
    if (info.param.index >= 0)
        name += std::to_string(info.param.index);
    for (const char c : std::string(info.param.field))
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

class BadInput : public testing::TestWithParam<Group>
{
protected:
    static QLineEdit *field(app::frmMain &window, const char *name)
    {
        return window.findChild<QLineEdit *>(QString::fromLatin1(name));
    }

    // Fills in what the press needs besides the typed field.
    static void prepare(app::frmMain &window, const Group &group)
    {
        if (group.operation == Operation::Set) {
            for (int index = 3; index <= 14; ++index) {
                const QString name = QStringLiteral("txtValue(%1)").arg(index);
                field(window, name.toLatin1().constData())
                    ->setText(index == 8 ? QStringLiteral("9600") : QStringLiteral("1"));
            }
        }
        if (group.operation == Operation::ChangeId)
            field(window, "txtSetID(1)")->setText(QStringLiteral("2"));
        if (group.operation == Operation::ChangeId && std::string(group.field) == "txtSetID(1)")
            field(window, "txtSetID(0)")->setText(QStringLiteral("1"));
    }

    static void press(app::frmMain &window, const Group &group)
    {
        const auto click = [&window](const QString &name) {
            QPushButton *button = window.findChild<QPushButton *>(name);
            ASSERT_NE(button, nullptr) << name.toStdString();
            button->click();
        };
        switch (group.operation) {
        case Operation::Query:
            click(QStringLiteral("comDoOnce"));
            break;
        case Operation::Tick:
            window.Timer2_Timer();
            break;
        case Operation::PollStart:
            click(QStringLiteral("cmdOneM"));
            break;
        case Operation::Set:
            // The device-address row's button is hidden; its handler is still there.
            if (group.index == 6)
                window.cmdSet_Click(6);
            else
                click(QStringLiteral("cmdSet(%1)").arg(group.index));
            break;
        case Operation::Info:
            click(QStringLiteral("Command2"));
            break;
        case Operation::ChangeId:
            click(QStringLiteral("cmdChangeID"));
            break;
        }
    }
};

TEST_P(BadInput, EachTextGivesItsMessageOrExactlyItsFrame)
{
    const Group &group = GetParam();
    for (int input = 0; input < kInputCount; ++input) {
        const QString &typed = inputs()[static_cast<std::size_t>(input)].text;
        const char *label = inputs()[static_cast<std::size_t>(input)].label;
        SCOPED_TRACE(testing::Message()
                     << group.field << " = " << label << " (row " << input << ")");
        const Expected &expected = group.expected[static_cast<std::size_t>(input)];
        FakeSerialControl port;
        FakeMessageBox messages;
        app::frmMain window(port, messages);
        window.Form_Load();
        ASSERT_TRUE(port.open);
        prepare(window, group);
        QLineEdit *edit = field(window, group.field);
        ASSERT_NE(edit, nullptr);
        edit->setText(typed);
        ASSERT_EQ(edit->text(), typed) << "the field did not take the text as typed";
        port.log.clear();
        port.written.clear();

        press(window, group);

        QStringList sent;
        for (const QByteArray &bytes : port.written)
            sent << QString::fromLatin1(bytes.toHex(' ').toUpper());
        if (expected.message) {
            ASSERT_EQ(messages.shown.size(), 1U);
            EXPECT_EQ(messages.shown[0].text, QString::fromUtf8(expected.message));
            EXPECT_EQ(messages.shown[0].title, QString::fromUtf8("RX904工具"));
            EXPECT_TRUE(sent.isEmpty()) << sent.join('|').toStdString();
            EXPECT_FALSE(port.log.join('|').contains(QStringLiteral("Output=")));
        } else if (expected.frame) {
            EXPECT_TRUE(messages.shown.empty()) << messages.texts().join('|').toStdString();
            EXPECT_EQ(sent, QStringList{QString::fromLatin1(expected.frame)});
        } else {
            EXPECT_TRUE(messages.shown.empty()) << messages.texts().join('|').toStdString();
            EXPECT_TRUE(sent.isEmpty());
            EXPECT_EQ(window.timer2().interval(), expected.period);
            EXPECT_TRUE(window.timer2().isEnabled());
        }
        if (group.operation == Operation::PollStart && expected.message) {
            EXPECT_EQ(window.timer2().interval(), 0) << "a refused period changed the timer";
        }
        if (!HasFailure())
            reportCase(group, label, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFieldAnOperationReads, BadInput, testing::ValuesIn(kGroups),
                         groupName);

} // namespace
