#include "app/configuration_window.h"
#include "commissioning/parameter_file.h"
#include "tool_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

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

namespace {

// The station scan shows a device the moment it answers; cancelled, the bar stays where the
// scan stopped.
TEST_F(ConfigurationWindowTest, ScanShowsEachDeviceAsItAnswersAndCancelKeepsTheBar)
{
    startTool({"--station", "4"});
    configure([&](app::ConfigurationWindow &dialog) {
        dialog.findChild<QComboBox *>(QStringLiteral("cboFindMode"))->setCurrentIndex(1);
        dialog.find();
        auto *found = dialog.findChild<QTableWidget *>(QStringLiteral("tblFound"));
        ASSERT_TRUE(waitUntil([&] { return found->rowCount() == 1; }, 30000));
        EXPECT_FALSE(idle(dialog)) << "the scan is still running";
        EXPECT_EQ(found->item(0, 1)->text(), QStringLiteral("4"));
        dialog.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        ASSERT_TRUE(waitUntil([&] { return idle(dialog); }));
        auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("prgProgress"));
        EXPECT_LT(bar->value(), bar->maximum());
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
                  QStringLiteral("已取消"));
    });
}

// Two writings, one page each: the report carries each device's values before, written and
// read back, and its overall result, in a PDF another program can read.
TEST_F(ConfigurationWindowTest, TheReportHasAPagePerWritingWithItsValues)
{
    startTool();
    QTemporaryDir folder;
    configure([&](app::ConfigurationWindow &dialog) {
        for (const std::uint16_t alarmHigh : {850, 860}) {
            commissioning::ParameterSet file;
            file.raw = {235, 1175, 0, alarmHigh, 0, 0, 0, 1, 9600, 1, 50000, 0, 1000, 0, 2};
            const QString path = folder.filePath(QStringLiteral("%1.txt").arg(alarmHigh));
            ASSERT_EQ(commissioning::saveParameterFile(path, file), QString());
            dialog.loadFile(path);
            ASSERT_TRUE(waitUntil([&] { return idle(dialog); }));
            dialog.writeDevice();
            ASSERT_TRUE(waitUntil([&] { return idle(dialog); }));
        }
        const QString pdf = folder.filePath(QStringLiteral("报告.pdf"));
        dialog.saveReport(pdf);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(pdftotext.waitForFinished(30000));
        // Some fonts share one glyph between a character and its radical (高 and ⾼), and the
        // text taken back may name the radical: compared as NFKC, both are the character (and
        // full-width punctuation is ASCII).
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput())
                                 .normalized(QString::NormalizationForm_KC);
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        ASSERT_EQ(pages.size(), 2) << text.toStdString();
        for (const int k : {0, 1}) {
            const QString &page = pages[k];
            EXPECT_TRUE(page.contains(QStringLiteral("合格:1 项已写入并校验")))
                << page.toStdString();
            EXPECT_TRUE(page.contains(QStringLiteral("报警高值"))) << page.toStdString();
            // Before, written and read back, on the alarm-high row.
            const QString before = k == 0 ? QStringLiteral("800") : QStringLiteral("850");
            const QString after = k == 0 ? QStringLiteral("850") : QStringLiteral("860");
            EXPECT_TRUE(page.contains(
                QRegularExpression(QStringLiteral("报警高值\\s+3 / 0x0A00\\s+%1\\s+%2\\s+%1\\s+%1")
                                       .arg(after, before))))
                << page.toStdString();
        }
    });
}

// The window holds the line: it hears of the loss at once, says so, and offers to open the
// port again.
TEST_F(ConfigurationWindowTest, ALostLineIsReportedAndThePortCanBeOpenedAgain)
{
    // COM1 is a link to the device's terminal: once the device is gone, so is its name. The
    // terminal's own number may be given at once to another test's device, which would open.
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("com1"));
    startSim({"--link", link.toStdString()});
    qputenv("RX904_COM1", link.toLocal8Bit());
    startWindow();
    configure([&](app::ConfigurationWindow &dialog) {
        dialog.readDevice();
        ASSERT_TRUE(waitUntil([&] { return idle(dialog); }));
        sim.signal(SIGKILL);
        QFile::remove(link);
        auto *status = dialog.findChild<QLabel *>(QStringLiteral("lblStatus"));
        ASSERT_TRUE(waitUntil([&] {
            return status->text().startsWith(QStringLiteral("串口已断开"));
        })) << status->text().toStdString();
        auto *reopen = dialog.findChild<QPushButton *>(QStringLiteral("cmdReopen"));
        EXPECT_FALSE(reopen->isHidden());
        EXPECT_FALSE(
            dialog.findChild<QPushButton *>(QStringLiteral("cmdReadParameters"))->isEnabled());
        reopen->click();
        EXPECT_TRUE(status->text().startsWith(QStringLiteral("串口仍无法打开")))
            << status->text().toStdString();
    });
}

} // namespace
