#include "operations/receive_handler.h"
#include "serial/comm_events.h"
#include "support/ops_fixture.h"

using namespace testing_support;
using ops::Field;
using ops::Lamp;

class ReceiveHandlerTest : public OpsFixture
{
protected:
    void SetUp() override { vars.RecCount = 1; }

    void receive(const QByteArray &bytes, std::int16_t cmdType)
    {
        vars.CmdType = cmdType;
        port.inBuffer = bytes;
        port.event = serial::kComEvReceive;
        ops::MSComm1_OnComm(window);
    }

    static QByteArray countingAnswer(int count)
    {
        QByteArray answer("\x01\x03", 2);
        answer += static_cast<char>(2 * count);
        for (int k = 0; k < count; ++k) {
            answer += '\0';
            answer += static_cast<char>(100 + k);
        }
        return answer + QByteArray("\xAA\xBB", 2);
    }

    QStringList values() const
    {
        QStringList all;
        for (int k = 0; k < modbus::kValueFieldCount; ++k)
            all << text(ops::valueField(k));
        return all;
    }
};

TEST_F(ReceiveHandlerTest, QueryAnswerIsCountedShownDecodedAndTurnsTheLampGreen)
{
    receive(QByteArray::fromHex("020304 00EB 0001 1234"), 1);
    EXPECT_EQ(vars.RecCount, 2);
    EXPECT_EQ(text(Field::lblErrCounter), "2");
    EXPECT_EQ(text(Field::txtState), " 02 03 04 00 EB 00 01 12 34");
    EXPECT_EQ(text(ops::valueField(0)), "23.5");
    EXPECT_EQ(text(ops::valueField(1)), "1");
    EXPECT_EQ(text(ops::valueField(2)), "0");
    EXPECT_EQ(form.lampInFront, Lamp::imgConnected);
    EXPECT_EQ(port.log, QStringList({"Input", "InBufferCount=0"}));
}

TEST_F(ReceiveHandlerTest, StartAddressReadAtAnswerTimePlacesTheRegisters)
{
    const struct
    {
        const char *start;
        int firstField;
    } cases[] = {{"0", 0}, {"1", 0}, {"2", 2}, {"5", 8}, {"10", 18}, {"abc", 0}, {"", 0}};
    for (const auto &c : cases) {
        FakeForm fresh;
        form = fresh;
        setText(Field::txtStartID, c.start);
        receive(countingAnswer(15), 1);
        for (int k = 0; k < modbus::kValueFieldCount; ++k) {
            // register r holds 100 + r; field 0 shows tenths
            const QString expected = k < c.firstField ? QStringLiteral("0")
                                     : k == 0         ? QStringLiteral("10.0")
                                                      : QString::number(100 + k - c.firstField);
            EXPECT_EQ(text(ops::valueField(k)), expected) << c.start << " field " << k;
        }
    }
}

TEST_F(ReceiveHandlerTest, ShortAnswerShowsOnlyCompleteRegistersAndKeepsTheRest)
{
    for (int k = 0; k < modbus::kValueFieldCount; ++k)
        setText(ops::valueField(k), "old");
    // 15 registers announced, 3.5 arrived
    receive(countingAnswer(15).left(3 + 7), 1);
    EXPECT_EQ(values().mid(0, 5), QStringList({"10.0", "101", "102", "old", "old"}));
}

TEST_F(ReceiveHandlerTest, TinyOrEmptyReceiveShowsWhatCameAndDecodesNothing)
{
    const QByteArray cases[] = {QByteArray(), QByteArray("\x01", 1), QByteArray("\x01\x03", 2)};
    for (const auto &bytes : cases) {
        for (const std::int16_t type : {1, 5, 6, 7}) {
            FakeForm fresh;
            form = fresh;
            receive(bytes, type);
            EXPECT_EQ(text(Field::txtState).size(), bytes.size() * 3);
            if (type == 6 && !bytes.isEmpty())
                EXPECT_EQ(text(Field::txtStationID), "1");
            else
                EXPECT_EQ(text(Field::txtStationID), "2");
            EXPECT_EQ(text(Field::TXTtype), "1000");
            EXPECT_EQ(text(ops::valueField(0)), "0");
            EXPECT_EQ(form.lampInFront, Lamp::imgConnected);
        }
    }
}

TEST_F(ReceiveHandlerTest, AddressAnswersFillTheAddressAndStationFields)
{
    // address read / parameter write: byte 0
    receive(QByteArray::fromHex("07030200079999"), 6);
    EXPECT_EQ(text(Field::txtSetID0), "7");
    EXPECT_EQ(text(Field::txtStationID), "7");

    // address change answered with the plain echo of the request: the new address
    vars.LastRequest = {0x01, 0x06, 0x0B, 0x00, 0x00, 0x02, 0x0A, 0x2F};
    receive(QByteArray::fromHex("01060B0000020A2F"), 5);
    EXPECT_EQ(text(Field::txtSetID0), "2");
    EXPECT_EQ(text(Field::txtStationID), "2");

    // any other answer: its byte 3
    receive(QByteArray::fromHex("0106020900"), 5);
    EXPECT_EQ(text(Field::txtSetID0), "9");
    EXPECT_EQ(text(Field::txtStationID), "9");

    // shorter than 4 bytes: unchanged
    receive(QByteArray::fromHex("010602"), 5);
    EXPECT_EQ(text(Field::txtSetID0), "9");
}

TEST_F(ReceiveHandlerTest, DeviceInformationNeedsAllElevenCharacters)
{
    QByteArray answer =
        QByteArray::fromHex("01260B") + QByteArray("RX904-V1.00") + QByteArray::fromHex("0000");
    receive(answer, 7);
    EXPECT_EQ(text(Field::TXTtype), "RX904-V1.00");
    receive(QByteArray::fromHex("01260B") + QByteArray("ABCDEFGHIJ"), 7);
    EXPECT_EQ(text(Field::TXTtype), "RX904-V1.00");
    receive(QByteArray::fromHex("01260B") + QByteArray::fromHex("80A9FF") + QByteArray("12345678"),
            7);
    EXPECT_EQ(text(Field::TXTtype), QString::fromUtf8("\u0080\u00A9\u00FF12345678"));
}

TEST_F(ReceiveHandlerTest, AnswerBeforeAnyRequestIsShownButNotDecoded)
{
    receive(countingAnswer(2), 0);
    EXPECT_FALSE(text(Field::txtState).isEmpty());
    EXPECT_EQ(text(ops::valueField(1)), "0");
    EXPECT_EQ(text(Field::txtStationID), "2");
    EXPECT_EQ(form.lampInFront, Lamp::imgConnected);
}

TEST_F(ReceiveHandlerTest, OtherEventsOnlyCount)
{
    setText(Field::txtState, " 01");
    form.lampInFront = Lamp::ImgYellow;
    // 0 and 3 stand for codes the control may raise one day.
    for (const int event : {serial::kComEventRxOver, serial::kComEventPortLost, 0, 3}) {
        port.event = event;
        port.inBuffer = countingAnswer(15);
        vars.CmdType = 1;
        ops::MSComm1_OnComm(window);
    }
    EXPECT_EQ(vars.RecCount, 5);
    EXPECT_EQ(text(Field::lblErrCounter), "5");
    EXPECT_EQ(text(Field::txtState), " 01");
    EXPECT_EQ(text(ops::valueField(1)), "0");
    EXPECT_EQ(form.lampInFront, Lamp::ImgYellow);
    EXPECT_FALSE(port.log.contains("Input"));
}

TEST_F(ReceiveHandlerTest, ReceivedCounterStopsAtItsLargestValue)
{
    vars.RecCount = 2147483646;
    port.event = serial::kComEventRxOver;
    ops::MSComm1_OnComm(window);
    ops::MSComm1_OnComm(window);
    EXPECT_EQ(vars.RecCount, 2147483647);
    EXPECT_EQ(text(Field::lblErrCounter), "2147483647");
}
