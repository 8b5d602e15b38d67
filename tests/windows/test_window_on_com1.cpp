// The real window on Windows' COM1, which wine's port registry maps to rx904-sim on a
// pseudo-terminal: start-up opens COM1 through the Win32 transport, and "单次" reads the
// device's fifteen values.
#include "wine_ports.h"

#include "app/frm_main.h"
#include "operations/comm_adapter.h"
#include "serial/port_directory.h"
#include "support/fake_form.h"
#include "support/qt_printers.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

using winetest::waitUntil;

QString fieldText(const QWidget &window, const QString &name)
{
    if (auto *edit = window.findChild<QLineEdit *>(name))
        return edit->text();
    if (auto *plain = window.findChild<QPlainTextEdit *>(name))
        return plain->toPlainText();
    if (auto *label = window.findChild<QLabel *>(name))
        return label->text();
    ADD_FAILURE() << "no field " << name.toStdString();
    return {};
}

TEST(WindowOnCom1, SingleQueryShowsTheFifteenValuesLampAndCounters)
{
    // No RX904_COMn: COM1 is Windows' COM1.
    serial::PortDirectory ports;
    ops::CommAdapter port(ports);
    testing_support::FakeMessageBox messages;
    app::frmMain window(port, messages);
    window.Form_Load();
    ASSERT_TRUE(port.portOpen()) << messages.texts().join(QLatin1Char('\n')).toStdString();
    const auto text = [&window](const QString &name) { return fieldText(window, name); };
    EXPECT_EQ(window.lampInFront(), ops::Lamp::imgNotConnected);

    window.findChild<QAbstractButton *>(QStringLiteral("comDoOnce"))->click();
    EXPECT_EQ(text(QStringLiteral("txtCommand")), "01 03 00 00 00 0F 05 CE ");
    EXPECT_EQ(window.lampInFront(), ops::Lamp::ImgYellow);
    ASSERT_TRUE(waitUntil([&] { return text(QStringLiteral("lblErrCounter")).toInt() >= 2; }));
    EXPECT_TRUE(text(QStringLiteral("txtState")).startsWith(QStringLiteral(" 01 03 1E")));
    EXPECT_EQ(text(QStringLiteral("txtState")).size(), 35 * 3);
    EXPECT_EQ(text(QStringLiteral("lblCounter")), "2");
    EXPECT_EQ(text(QStringLiteral("lblErrCounter")), "2");
    // The device's power-up values, register 0 set to 235 by with-com-ports.sh.
    const QStringList expected{"23.5", "",  "0",     "800", "0",    "0", "0", "1",
                               "9600", "1", "50000", "0",   "1000", "0", "2"};
    for (int k = 0; k < 15; ++k) {
        if (!expected[k].isEmpty()) {
            EXPECT_EQ(text(QStringLiteral("txtValue(%1)").arg(k)), expected[k]) << k;
        }
    }
    EXPECT_EQ(window.lampInFront(), ops::Lamp::imgConnected);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
