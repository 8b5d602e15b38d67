#include "port_management.h"

#include "messages.h"
#include "serial/comm_events.h"
#include "translations/device_texts.h"
#include "values/numeric_text.h"

namespace ops {

QString settingsText(std::int32_t baud)
{
    return QString::number(baud) + QStringLiteral(",N,8,1");
}

void OpenOnComm(CommControl &port)
{
    port.setRThreshold(1);
    port.setInputMode(serial::kInputModeBinary);
}

void Combo1_Click(const Window &w)
{
    auto &port = w.MSComm1;
    if (port.portOpen())
        port.setPortOpen(false);
    const int index = w.form.selectedIndex(List::Combo1);
    if (index < 0) {
        w.message(text::kSelectPort);
        return;
    }
    port.setCommPort(index + 1);
    w.vars.CommNum = static_cast<std::int16_t>(port.commPort());
    port.setSettings(settingsText(w.vars.CommRate));
    if (port.portOpen())
        return;
    // A missing or busy port is passed over: the next request that tests the port reports it.
    port.setPortOpen(true);
    OpenOnComm(port);
    w.vars.CommReady = true;
}

void Combo2_Click(const Window &w)
{
    // Only list entries are chosen here, so the text is one of the offered speeds; anything
    // else keeps the speed in force.
    const auto rate = values::integerPart(w.form.text(Field::Combo2).toStdString());
    if (rate && *rate >= 1 && *rate <= 4'000'000)
        w.vars.CommRate = static_cast<std::int32_t>(*rate);
    auto &port = w.MSComm1;
    if (port.portOpen()) {
        port.setPortOpen(false);
        port.setSettings(settingsText(w.vars.CommRate));
        // A failed reopen leaves the port closed without a message.
        port.setPortOpen(true);
    } else {
        port.setSettings(settingsText(w.vars.CommRate));
    }
}

void cmdCom_Click(const Window &w)
{
    auto &port = w.MSComm1;
    if (!port.portOpen()) {
        port.setSettings(settingsText(w.vars.CommRate));
        w.form.showLamp(Lamp::imgConnected);
    } else {
        w.form.showLamp(Lamp::imgConnected);
        port.setPortOpen(false);
    }
    if (!port.setPortOpen(true)) {
        w.form.showLamp(Lamp::imgNotConnected);
        w.messages.showWithInformativeText(i18n::message(text::kPortOpenFailed),
                                           i18n::message(text::kPortOpenFailedTitle),
                                           MessageIcon::Exclamation, port.openFailureCause());
    }
}

void Command1_Click(const Window &w)
{
    w.form.showLamp(Lamp::imgNotConnected);
    if (w.MSComm1.portOpen())
        w.MSComm1.setPortOpen(false);
}

} // namespace ops
