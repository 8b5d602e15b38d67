#include "request_sending.h"

#include "modbus/exchange_judge.h"
#include "modbus/hex_text.h"
#include "serial/comm_events.h"

namespace ops {

void prepareReceive(CommControl &port)
{
    port.setInBufferCount(0);
    port.setInputLen(0);
    port.setInputMode(serial::kInputModeBinary);
    port.setRThreshold(0);
}

void rememberRequest(FormVars &vars, const modbus::RequestFrame &frame)
{
    vars.HiByte = frame[6];
    vars.LoByte = frame[7];
    vars.LastRequest = frame;
    vars.LastRequestPolled = false;
}

QString sentText(const modbus::RequestFrame &frame)
{
    return QString::fromStdString(modbus::sentFrameText(frame));
}

QByteArray wireBytes(const modbus::RequestFrame &frame)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data()),
                      static_cast<qsizetype>(frame.size()));
}

void beginRequest(const Window &w, std::int16_t cmdType)
{
    w.vars.CmdType = cmdType;
    w.form.setText(Field::txtState, QString());
    w.vars.SendText.clear();
    prepareReceive(w.MSComm1);
}

void sendRequest(const Window &w, const modbus::RequestFrame &frame)
{
    rememberRequest(w.vars, frame);
    // Every request sent here is a read, a write or the identification, all of known length.
    w.vars.RecLength = static_cast<std::int16_t>(modbus::expectedAnswerLength(frame).value_or(0));
    w.vars.SendText = sentText(frame);
    w.MSComm1.setRThreshold(w.vars.RecLength);
    w.form.setText(Field::txtCommand, w.vars.SendText);
    if (w.MSComm1.portOpen()) {
        w.form.showLamp(Lamp::imgConnected);
        w.MSComm1.setOutput(wireBytes(frame));
    } else {
        w.form.showLamp(Lamp::imgNotConnected);
    }
}

} // namespace ops
