#include "help_window.h"

#include "command_line.h"
#include "named_controls.h"
#include "window_fit.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace app {

namespace {

QString section(const QString &title, const QString &body)
{
    return QStringLiteral("<h3>%1</h3>%2").arg(title, body);
}

QString keyTable(const QList<std::pair<QString, QString>> &keys)
{
    QString rows;
    for (const auto &[key, meaning] : keys)
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(key, meaning);
    return QStringLiteral("<table cellpadding=\"3\">%1</table>").arg(rows);
}

} // namespace

QString helpHtml()
{
    QString html = section(
        QCoreApplication::translate("HelpWindow", "窗口与按键"),
        QCoreApplication::translate(
            "HelpWindow",
            "<p>主窗口读写一台 RX904；在主窗口空白处单击右键，菜单中列出以下窗口及其按键。</p>") +
            keyTable({
                {QStringLiteral("F1"), QCoreApplication::translate("HelpWindow", "帮助（本窗口）")},
                {QStringLiteral("F2"),
                 QCoreApplication::translate("HelpWindow",
                                             "通讯监视：每一帧的时间、字节、含义和判定，"
                                             "计数、趋势，可保存记录和数值")},
                {QStringLiteral("F3"),
                 QCoreApplication::translate(
                     "HelpWindow",
                     "设备配置：查找设备，读取、保存、载入参数，写入并校验，保存报告")},
                {QStringLiteral("Esc"),
                 QCoreApplication::translate("HelpWindow",
                                             "在尚未写入设备的数值框中：放弃输入，显示设备中的值；"
                                             "在设备配置和帮助窗口中：关闭窗口")},
            }));
    // The same text as rx904-tool --help prints.
    const QString usage =
        parseCommandLine({QStringLiteral("rx904-tool"), QStringLiteral("--help")}).text;
    html += section(QCoreApplication::translate("HelpWindow", "命令行"),
                    QCoreApplication::translate(
                        "HelpWindow",
                        "<pre>%1</pre><p>环境变量 <b>RX904_COMn</b>（如 RX904_COM1=/dev/ttyUSB0 或 "
                        "tcp://192.168.1.200:4001）指定 COMn 对应的设备。不用窗口读写设备、"
                        "适合脚本和生产线的命令行程序是 <b>rx904ctl</b>，见 rx904ctl --help。</p>")
                        .arg(usage.toHtmlEscaped()));
    html +=
        section(QCoreApplication::translate("HelpWindow", "文件"),
                QCoreApplication::translate(
                    "HelpWindow", "<p>参数文件（.txt）、调试报告（.pdf）、通讯记录和数值记录（."
                                  "csv）都保存在您在保存对话框中选择的位置，"
                                  "每个文件要么完整写成，要么不写并说明原因。本工具不保存设置，也"
                                  "不在其他位置写文件。</p>"));
    html += section(QCoreApplication::translate("HelpWindow", "关于"),
                    QCoreApplication::translate(
                        "HelpWindow", "<p>RX904智能电压控制器工具软件 版本 %1<br>"
                                      "许可证：MIT 许可证，全文见随程序附带的 LICENSE 文件<br>"
                                      "Qt 版本 %2（编译时 %3）</p>")
                        .arg(QStringLiteral(RX904_VERSION), QString::fromLatin1(qVersion()),
                             QStringLiteral(QT_VERSION_STR)));
    return html;
}

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QCoreApplication::translate("HelpWindow", "帮助"));
    setAccessibleName(QCoreApplication::translate("HelpWindow", "帮助"));
    auto *layout = new QVBoxLayout(this);
    auto *text =
        named(new QTextBrowser, "txtHelp", QCoreApplication::translate("HelpWindow", "帮助内容"));
    text->setHtml(helpHtml());
    text->setOpenLinks(false);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox;
    QPushButton *close = namedButton("cmdClose", QCoreApplication::translate("HelpWindow", "关闭"));
    buttons->addButton(close, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    fitToScreen(*this, {600, 520});
}

void showHelp(QWidget &from)
{
    auto *help = from.findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(&from);
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace app
