#include "app/frm_main.h"
#include "app/help_window.h"
#include "support/fake_form.h"
#include "support/fake_serial_control.h"
#include "support/qt_printers.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using testing_support::FakeMessageBox;
using testing_support::FakeSerialControl;

// The real window and its handlers over a port that records what is done to it.
class FrmMainTest : public ::testing::Test
{
protected:
    FakeSerialControl port;
    FakeMessageBox messages;
    app::frmMain window{port, messages};

    QComboBox *combo(const char *name) { return window.findChild<QComboBox *>(name); }
    QLineEdit *edit(const char *name) { return window.findChild<QLineEdit *>(name); }
    QWidget *frontLamp() const
    {
        // The lamp raised last is the last child of its holder.
        const auto lamps = window.ui().Picture2->findChildren<QLabel *>();
        QWidget *front = nullptr;
        for (QObject *child : window.ui().Picture2->children())
            if (lamps.contains(static_cast<QLabel *>(child)))
                front = static_cast<QWidget *>(child);
        return front;
    }
};

TEST_F(FrmMainTest, StartUpFillsTheListsAndOpensCom1WhileTheRedLampIsSeen)
{
    window.Form_Load();
    EXPECT_EQ(combo("Combo1")->currentText(), "COM1");
    EXPECT_EQ(combo("Combo2")->currentText(), "9600");
    QStringList speeds;
    for (int i = 0; i < combo("Combo2")->count(); ++i)
        speeds << combo("Combo2")->itemText(i);
    EXPECT_EQ(speeds, QStringList({"2400", "4800", "9600", "19200", "38400"}));
    EXPECT_EQ(edit("txtStationID")->text(), "1");
    EXPECT_EQ(edit("txtDataLength")->text(), "15");
    EXPECT_EQ(window.ui().lblCounter->text(), "1");
    EXPECT_EQ(window.ui().lblErrCounter->text(), "1");
    EXPECT_TRUE(port.open);
    EXPECT_EQ(frontLamp(), window.ui().imgNotConnected);
    EXPECT_EQ(window.ui().Picture2->accessibleDescription(), "红灯");
    EXPECT_EQ(window.timer2().interval(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrmMainTest, EveryPortEntryNamesItsDeviceInItsTooltip)
{
    qputenv("RX904_COM2", "/dev/pts/77");
    window.Form_Load();
    qunsetenv("RX904_COM2");
    const QString tip = combo("Combo1")->itemData(1, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("/dev/pts/77")) << tip.toStdString();
    for (int i = 0; i < combo("Combo1")->count(); ++i)
        EXPECT_FALSE(combo("Combo1")->itemData(i, Qt::ToolTipRole).toString().isEmpty()) << i;
}

TEST_F(FrmMainTest, TooltipsAreRenewedWhenThePortListOpens)
{
    window.Form_Load();
    EXPECT_FALSE(combo("Combo1")->itemData(2, Qt::ToolTipRole).toString().contains("/dev/pts/78"));
    qputenv("RX904_COM3", "/dev/pts/78");
    combo("Combo1")->showPopup();
    qunsetenv("RX904_COM3");
    EXPECT_TRUE(combo("Combo1")->itemData(2, Qt::ToolTipRole).toString().contains("/dev/pts/78"));
    combo("Combo1")->hidePopup();
}

TEST_F(FrmMainTest, TypingIntoThePortListSelectsNothing)
{
    window.Form_Load();
    port.log.clear();
    QLineEdit *text = combo("Combo1")->lineEdit();
    ASSERT_NE(text, nullptr);
    text->selectAll();
    QTest::keyClicks(text, "COM3");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(combo("Combo1")->currentIndex(), 0);
    EXPECT_EQ(combo("Combo1")->count(), 25);
    EXPECT_TRUE(port.log.isEmpty());

    QLineEdit *speed = combo("Combo2")->lineEdit();
    speed->selectAll();
    QTest::keyClicks(speed, "19200");
    QTest::keyClick(speed, Qt::Key_Return);
    EXPECT_EQ(window.vars().CommRate, 9600);
    EXPECT_TRUE(port.log.isEmpty());
}

TEST_F(FrmMainTest, ChoosingEntriesRaisesTheHandlers)
{
    window.Form_Load();
    port.log.clear();
    // The operator steps to the next entry with the keyboard: that is a choice.
    QTest::keyClick(combo("Combo1"), Qt::Key_Down);
    EXPECT_EQ(port.port, 2);
    EXPECT_EQ(window.vars().CommNum, 2);
    EXPECT_TRUE(port.log.contains("PortOpen=true"));

    QTest::keyClick(combo("Combo2"), Qt::Key_Down);
    EXPECT_EQ(window.vars().CommRate, 19200);
    EXPECT_EQ(port.settings, "19200,N,8,1");
}

TEST_F(FrmMainTest, LampsFollowTheOperationsAndTheirDescription)
{
    window.Form_Load();
    window.findChild<QPushButton *>("cmdCom")->click();
    EXPECT_EQ(frontLamp(), window.ui().imgConnected);
    EXPECT_EQ(window.ui().Picture2->accessibleDescription(), "绿灯");
    window.findChild<QPushButton *>("comDoOnce")->click();
    EXPECT_EQ(frontLamp(), window.ui().ImgYellow);
    EXPECT_EQ(window.ui().Picture2->accessibleDescription(), "黄灯");
    port.receive(QByteArray::fromHex("01030200EBAAAA").left(port.rThreshold()));
    EXPECT_EQ(frontLamp(), window.ui().ImgYellow); // 35 bytes armed, 7 came
    port.setRThreshold(1);
    port.receive(QByteArray());
    EXPECT_EQ(frontLamp(), window.ui().imgConnected);
    window.findChild<QPushButton *>("Command1")->click();
    EXPECT_EQ(frontLamp(), window.ui().imgNotConnected);
    EXPECT_FALSE(port.open);
}

TEST_F(FrmMainTest, HiddenSetButtonStillWritesItsRowWhenInvoked)
{
    window.Form_Load();
    EXPECT_TRUE(window.findChild<QPushButton *>("cmdSet(6)")->isHidden());
    edit("txtValue(9)")->setText("7");
    window.cmdSet_Click(6);
    EXPECT_EQ(window.ui().txtCommand->toPlainText().left(17), "01 06 0A 0C 00 07");
}

// The context menu names each entry's key, and F1 opens the help with what this program is.
TEST_F(FrmMainTest, ContextMenuNamesTheKeysAndF1OpensTheHelp)
{
    QStringList entries;
    for (const QAction *action : window.actions()) {
        EXPECT_TRUE(action->isShortcutVisibleInContextMenu()) << action->text().toStdString();
        entries << action->text() + QLatin1Char(' ') + action->shortcut().toString();
    }
    EXPECT_EQ(entries, QStringList({QStringLiteral("通讯监视… F2"), QStringLiteral("设备配置… F3"),
                                    QStringLiteral("帮助… F1")}));
    window.show();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_F1);
    auto *help = window.findChild<app::HelpWindow *>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString text = help->findChild<QTextBrowser *>(QStringLiteral("txtHelp"))->toPlainText();
    for (const QString &part : {QStringLiteral("F2"), QStringLiteral("--port COMn=DEVICE"),
                                QStringLiteral("版本 ") + QStringLiteral(RX904_EXPECTED_VERSION),
                                QStringLiteral("MIT"), QString::fromLatin1(qVersion())})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
}
