#include "app/configuration_window.h"
#include "tool_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace e2e;

namespace {

class ConfigurationWindowTest : public ToolFixture
{
protected:
    // Opens "设备配置…" from the window's context menu and runs `work` on the modal window,
    // then closes it.
    void configure(const std::function<void(app::ConfigurationWindow &)> &work)
    {
        QAction *entry = nullptr;
        for (QAction *action : window->actions()) {
            if (action->text() == QStringLiteral("设备配置…"))
                entry = action;
        }
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::Key_F3));
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto *dialog =
                qobject_cast<app::ConfigurationWindow *>(QApplication::activeModalWidget());
            if (dialog != nullptr) {
                work(*dialog);
                ran = true;
                dialog->reject();
            }
        });
        entry->trigger();
        EXPECT_TRUE(ran);
    }

    static bool idle(app::ConfigurationWindow &dialog)
    {
        return dialog.findChild<QPushButton *>(QStringLiteral("cmdFind"))->isEnabled();
    }
};

// The window finds the device at 4800, station 23, reads it, and hands the port back: the
// main window saw none of its answers, and takes on the speed and station chosen with "使用".
TEST_F(ConfigurationWindowTest, FoundLinkIsUsedAndTheMainWindowSeesNoneOfTheAnswers)
{
    startTool({"--baud", "4800", "--station", "23"});
    ASSERT_TRUE(port->portOpen());
    const int threshold = port->rThreshold();
    const QString received = text("lblErrCounter");
    configure([&](app::ConfigurationWindow &dialog) {
        dialog.find();
        ASSERT_TRUE(waitUntil([&] { return idle(dialog); }));
        auto *found = dialog.findChild<QTableWidget *>(QStringLiteral("tblFound"));
        ASSERT_EQ(found->rowCount(), 1);
        EXPECT_EQ(found->item(0, 1)->text(), QStringLiteral("23"));
        dialog.useFound();
        dialog.readDevice();
        ASSERT_TRUE(waitUntil([&] { return idle(dialog); }));
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tblParameters"));
        EXPECT_EQ(table->item(8, 4)->text(), QStringLiteral("4800"));
        EXPECT_EQ(table->item(9, 4)->text(), QStringLiteral("23"));
    });
    EXPECT_EQ(text("lblErrCounter"), received);
    EXPECT_EQ(text("txtState"), QString());
    EXPECT_EQ(port->rThreshold(), threshold);
    EXPECT_EQ(control<QComboBox>("Combo2")->currentText(), QStringLiteral("4800"));
    EXPECT_EQ(port->settings().baudRate, 4800);
    EXPECT_EQ(text("txtStationID"), QStringLiteral("23"));
    EXPECT_EQ(text("txtSetID(0)"), QStringLiteral("23"));

    click("comDoOnce");
    ASSERT_TRUE(waitForReceived(received.toInt() + 1));
    EXPECT_TRUE(text("txtState").startsWith(" 17 03 1E"));
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
