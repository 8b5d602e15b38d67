#pragma once
#include "command_line.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace ctl {

// One result in the three formats; a part left empty is not printed in its format.
struct Record
{
    QJsonObject json;
    QStringList csvHeader;
    QList<QStringList> csvRows;
    QStringList text;
};

// Results on standard output, each line flushed as it is written, so a pipe sees every poll
// at once; diagnostics on standard error. A CSV header is printed before the first row and
// again only where the rows change their shape.
class Output
{
public:
    explicit Output(Format format) : m_format(format) {}

    void write(const Record &record);
    // One line for people on standard error: "rx904ctl: COM1: …".
    static void diagnose(const QString &line);

private:
    void line(const QString &text);

    Format m_format;
    QStringList m_header;
};

} // namespace ctl
