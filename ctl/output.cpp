#include "output.h"

#include "monitor/csv_files.h"

#include <QJsonDocument>

#include <cstdio>

namespace ctl {
namespace {

QString csvLine(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &cell : cells)
        quoted << monitor::csvCell(cell);
    return quoted.join(u',');
}

} // namespace

void Output::write(const Record &record)
{
    switch (m_format) {
    case Format::Json:
        if (!record.json.isEmpty())
            line(QString::fromUtf8(QJsonDocument(record.json).toJson(QJsonDocument::Compact)));
        break;
    case Format::Csv:
        if (record.csvRows.isEmpty())
            break;
        if (record.csvHeader != m_header) {
            m_header = record.csvHeader;
            line(csvLine(m_header));
        }
        for (const QStringList &row : record.csvRows)
            line(csvLine(row));
        break;
    case Format::Text:
        for (const QString &text : record.text)
            line(text);
        break;
    }
}

void Output::line(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void Output::diagnose(const QString &line)
{
    const QByteArray bytes = QStringLiteral("rx904ctl: %1\n").arg(line).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace ctl
