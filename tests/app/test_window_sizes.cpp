// Every window of the tool fits the screen it is shown on, at the scale the desktop sets:
// run once per row of CMake's table, each with its own scale and screen, as those are fixed
// when the application starts.
#include "app/configuration_window.h"
#include "app/frm_main.h"
#include "app/help_window.h"
#include "app/monitor_window.h"
#include "app/window_fit.h"
#include "support/fake_form.h"
#include "support/fake_serial_control.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

double g_scale = 1.0;

// The window fits below a title bar, and its buttons lie inside it.
void expectFits(QWidget &window, int titleBarPixels = app::kTitleBarPixels)
{
    window.show();
    QCoreApplication::processEvents();
    const QRect screen = window.screen()->availableGeometry();
    const QSize room(screen.width(), screen.height() - qCeil(titleBarPixels / g_scale));
    EXPECT_LE(window.width(), room.width()) << window.objectName().toStdString();
    EXPECT_LE(window.height(), room.height())
        << window.objectName().toStdString() << " needs " << window.height() << " of "
        << room.height() << " at scale " << g_scale;
    for (const QPushButton *button : window.findChildren<QPushButton *>()) {
        if (!button->isVisibleTo(&window))
            continue;
        const QRect at(button->mapTo(&window, QPoint(0, 0)), button->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), window.size()).contains(at))
            << button->objectName().toStdString() << " of " << window.objectName().toStdString();
    }
}

TEST(WindowSizes, EveryWindowFitsTheScreen)
{
    testing_support::FakeSerialControl port;
    testing_support::FakeMessageBox messages;
    app::frmMain window(port, messages);
    // Its 668 x 589 are fixed by design: at 125 % on 768 lines that leaves 32 for the title
    // bar (the taskbar covers the window's lowest lines, as it does that of the program this
    // window reproduces).
    expectFits(window, 0);
    window.openTrafficMonitor();
    ASSERT_NE(window.trafficMonitorWindow(), nullptr);
    expectFits(*window.trafficMonitorWindow());
    app::ConfigurationWindow configuration(nullptr, {}, {}, &window);
    expectFits(configuration);
    app::HelpWindow help(&window);
    expectFits(help);
}

} // namespace

// test_window_sizes SCALE WIDTHxHEIGHT: the desktop's scale and its screen in pixels.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir folder;
    QString screen = QStringLiteral("1366x768");
    if (argc >= 3) {
        g_scale = QString::fromLatin1(argv[1]).toDouble();
        screen = QString::fromLatin1(argv[2]);
    }
    const QStringList size = screen.split(QLatin1Char('x'));
    QFile config(folder.filePath(QStringLiteral("screen.json")));
    if (size.size() != 2 || !config.open(QIODevice::WriteOnly))
        return 2;
    config.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(size[0], size[1])
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", QByteArray::number(g_scale));
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
