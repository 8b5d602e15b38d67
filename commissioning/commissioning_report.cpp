#include "commissioning_report.h"

#include "translations/device_texts.h"
#include "values/register_text.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <algorithm>

namespace commissioning {

namespace {

QString valueText(int field, const std::optional<std::uint16_t> &raw)
{
    return raw ? QString::fromStdString(modbus::fieldText(field, *raw)).toHtmlEscaped()
               : QStringLiteral("—");
}

QString cells(const QStringList &texts, const QString &tag)
{
    QString row = QStringLiteral("<tr>");
    for (const QString &text : texts)
        row += QStringLiteral("<%1>%2</%1>").arg(tag, text);
    return row + QStringLiteral("</tr>");
}

QString devicePage(const DeviceReport &device, bool first)
{
    QString page = first ? QStringLiteral("<div>")
                         : QStringLiteral("<div style=\"page-break-before: always\">");
    page += QCoreApplication::translate("DeviceReport",
                                        "<h2>RX904 调试报告</h2><table cellpadding=\"2\">");
    const auto fact = [&page](const QString &name, const QString &value) {
        page += cells({name, value.toHtmlEscaped()}, QStringLiteral("td"));
    };
    fact(QCoreApplication::translate("DeviceReport", "日期时间"),
         device.at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t")));
    fact(QCoreApplication::translate("DeviceReport", "串口"), device.port);
    fact(QCoreApplication::translate("DeviceReport", "波特率"), QString::number(device.baud));
    fact(QCoreApplication::translate("DeviceReport", "设备地址"), QString::number(device.station));
    fact(QCoreApplication::translate("DeviceReport", "识别信息"), device.identification);
    page += QCoreApplication::translate("DeviceReport", "</table><p><b>结果：%1</b></p>")
                .arg(device.result.toHtmlEscaped());
    page +=
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    page += cells({QCoreApplication::translate("DeviceReport", "参数"),
                   QCoreApplication::translate("DeviceReport", "寄存器（读 / 写）"),
                   QCoreApplication::translate("DeviceReport", "文件中的值"),
                   QCoreApplication::translate("DeviceReport", "写入前"),
                   QCoreApplication::translate("DeviceReport", "写入值"),
                   QCoreApplication::translate("DeviceReport", "读回值"),
                   QCoreApplication::translate("DeviceReport", "结果")},
                  QStringLiteral("th"));
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const ReportRow &r = device.rows[static_cast<std::size_t>(row.field)];
        page += cells({i18n::caption(row).toHtmlEscaped(),
                       QString::fromStdString(values::registerText(row)),
                       valueText(row.field, r.inFile), valueText(row.field, r.before),
                       valueText(row.field, r.written), valueText(row.field, r.readBack),
                       r.verdict.toHtmlEscaped()},
                      QStringLiteral("td"));
    }
    return page + QStringLiteral("</table></div>");
}

} // namespace

DeviceReport makeDeviceReport(const ParameterSet &file, const ParameterSet &before,
                              const Commissioner &jobs, const QString &message)
{
    DeviceReport report;
    report.at = QDateTime::currentDateTime();
    report.baud = jobs.link().baud;
    report.station = jobs.link().station;
    report.identification = before.identification;
    // The read-back happened when any written row was compared with it.
    const bool readBack = std::ranges::any_of(jobs.rows(), [](const RowResult &row) {
        return row.state == RowState::Verified || row.state == RowState::Mismatch;
    });
    int chosen = 0;
    int verified = 0;
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const auto k = static_cast<std::size_t>(row.field);
        const RowResult &result = jobs.rows()[k];
        ReportRow &r = report.rows[k];
        r.inFile = file.raw[k];
        r.before = before.raw[k];
        if (result.state != RowState::NotChosen) {
            r.written = file.raw[k];
            ++chosen;
        }
        if (readBack)
            r.readBack = jobs.device().raw[k];
        r.verdict = rowStateText(result);
        if (result.state == RowState::Verified)
            ++verified;
    }
    report.passed = message.isEmpty() && verified == chosen;
    report.result =
        report.passed
            ? QCoreApplication::translate("DeviceReport", "合格：%1 项已写入并校验").arg(verified)
            : QCoreApplication::translate("DeviceReport", "不合格：%1 项中 %2 项已写入并校验%3")
                  .arg(chosen)
                  .arg(verified)
                  .arg(message.isEmpty()
                           ? QString()
                           : QCoreApplication::translate("DeviceReport", "；") + message);
    return report;
}

QString reportHtml(const std::vector<DeviceReport> &devices)
{
    QString html = QStringLiteral("<html><body>");
    for (std::size_t k = 0; k < devices.size(); ++k)
        html += devicePage(devices[k], k == 0);
    return html + QStringLiteral("</body></html>");
}

QString saveReportPdf(const QString &path, const std::vector<DeviceReport> &devices)
{
    // Made in memory first, so the file is written whole or not at all.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setTitle(QCoreApplication::translate("DeviceReport", "RX904 调试报告"));
        writer.setCreator(QCoreApplication::translate("DeviceReport", "RX904 工具"));
        // Left without a page size, print() lays it out on the writer's pages at the writer's
        // resolution, so the fonts keep their point sizes.
        QTextDocument document;
        // Latin and digits in a Latin font, Chinese in simplified Chinese forms (Debian's Noto,
        // Windows' own), each where the system has it. Noto CJK's own digits come out of the
        // PDF without their characters, so a search or a copy of the numbers would miss them.
        QFont font;
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Segoe UI"),
                          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei")});
        font.setPointSize(10);
        document.setDefaultFont(font);
        document.setHtml(reportHtml(devices));
        document.print(&writer);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf.data()) != pdf.data().size() ||
        !file.commit())
        return QCoreApplication::translate("DeviceReport", "无法写入文件 %1：%2")
            .arg(path, file.errorString());
    return QString();
}

} // namespace commissioning
