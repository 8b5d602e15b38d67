#include "startup.h"

#include "port_management.h"
#include "serial/comm_events.h"

namespace ops {
namespace {

// Selects the first of the list's first 24 entries that reads `text`, raising the list's
// handler as an operator's choice would; returns whether one was found.
bool selectByText(const Window &w, List list, const QString &text, void (*handler)(const Window &))
{
    const int searched = std::min(w.form.listCount(list), 24);
    for (int index = 0; index < searched; ++index) {
        if (w.form.listText(list, index) == text) {
            w.form.selectIndex(list, index);
            handler(w);
            return true;
        }
    }
    return false;
}

} // namespace

void Form_Load(const Window &w)
{
    auto &port = w.MSComm1;
    w.form.setText(Field::txtStationID, QStringLiteral("1"));
    w.form.setListItems(List::Combo2,
                        {QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                         QStringLiteral("19200"), QStringLiteral("38400")});
    w.vars.CommNum = 1;
    w.form.setText(Field::txtDataLength, QStringLiteral("15"));

    w.vars.CommRate = 9600;
    selectByText(w, List::Combo2, QStringLiteral("9600"), Combo2_Click);

    port.setCommPort(1);
    port.setInputMode(serial::kInputModeBinary);
    port.setInputLen(0);
    port.setInBufferCount(0);
    port.setOutBufferCount(0);
    port.setSThreshold(0);
    port.setRThreshold(1);
    port.setInputMode(serial::kInputModeBinary);
    port.setSettings(settingsText(w.vars.CommRate));

    // A COM1 that cannot be opened is passed over without a message.
    selectByText(w, List::Combo1, QStringLiteral("COM") + QString::number(w.vars.CommNum),
                 Combo1_Click);

    w.form.setText(Field::lblCounter, QStringLiteral("1"));
    w.form.setText(Field::lblErrCounter, QStringLiteral("1"));
    w.vars.RecCount = 1;
    w.vars.CommReady = true;
}

} // namespace ops
