#include "parameter_file.h"

#include "modbus/request_frame.h"
#include "translations/device_texts.h"
#include "translations/language.h"
#include "values/messages.h"
#include "values/numeric_text.h"
#include "values/parameter_value.h"
#include "values/register_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <map>
#include <variant>

namespace commissioning {
namespace {

const QString kIdentification = QStringLiteral("识别");
const QString kStation = QStringLiteral("站号");
const QString kBaud = QStringLiteral("波特率");
const QString kDate = QStringLiteral("日期");
const QString kToolVersion = QStringLiteral("工具版本");
const QString kParameter = QStringLiteral("参数");

QString shownText(int field, std::uint16_t raw)
{
    return QString::fromStdString(modbus::fieldText(field, raw));
}

std::optional<int> wholeNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The device's documented range is narrower than what a register holds: a value outside it
// is written and echoed, and the device then misbehaves. A fraction is no value of a row.
QString rangeFault(const modbus::RegisterRow &row, const QString &shown, double number)
{
    QString fault;
    const auto value = static_cast<long long>(number);
    if (static_cast<double>(value) != number) {
        fault = QCoreApplication::translate("ParameterFile", "%1 不是整数").arg(shown);
    } else if (!modbus::inRange(row, value)) {
        if (row.allowed.empty()) {
            fault = QCoreApplication::translate("ParameterFile", "%1 超出范围 %2 到 %3")
                        .arg(shown)
                        .arg(row.minimum)
                        .arg(row.maximum);
        } else {
            QStringList allowed;
            for (const int one : row.allowed)
                allowed << QString::number(one);
            fault = QCoreApplication::translate("ParameterFile", "%1 不是允许的值（%2）")
                        .arg(shown, i18n::listed(allowed));
        }
    }
    if (fault.isEmpty())
        return fault;
    return QCoreApplication::translate("ParameterFile", "（%1）：%2")
        .arg(QString::fromUtf8(row.caption), fault);
}

// The reason a parameter line is wrong for its row, empty when it is right.
QString parameterFault(const modbus::RegisterRow &row, const QStringList &parts, std::uint16_t &raw)
{
    if (parts.size() != 4)
        return QCoreApplication::translate("ParameterFile",
                                           "参数行应为“名称 | 寄存器 | 显示值 | 原始值”");
    if (parts[0] != QString::fromUtf8(row.caption))
        return QCoreApplication::translate("ParameterFile", "此处应为参数“%1”")
            .arg(QString::fromUtf8(row.caption));
    // Files saved before the write register was named hold the read register alone.
    const QString registers = QString::fromStdString(values::registerText(row));
    if (parts[1] != registers && wholeNumber(parts[1], 0, 0xFFFF) != row.readRegister)
        return QCoreApplication::translate("ParameterFile", "“%1”的寄存器应为 %2")
            .arg(parts[0], registers);
    const auto rawValue = wholeNumber(parts[3], 0, 65535);
    if (!rawValue)
        return QCoreApplication::translate("ParameterFile", "原始值应为 0 到 65535 的整数");
    raw = static_cast<std::uint16_t>(*rawValue);
    // The window shows some raw values otherwise than they are typed (0xFFFF shows 0).
    const bool shownAsWindowShows = parts[2] == shownText(row.field, raw);
    if (row.setButton < 0)
        return shownAsWindowShows
                   ? QString()
                   : QCoreApplication::translate("ParameterFile", "显示值与原始值不一致");
    const auto number = values::numericValue(parts[2].toStdString());
    if (!number)
        return i18n::message(values::text::kBadValue);
    const auto value = values::parameterRegisterValue(row, *number);
    if (const auto *refusal = std::get_if<const char *>(&value))
        return i18n::message(*refusal);
    if (std::get<std::uint16_t>(value) != raw && !shownAsWindowShows)
        return QCoreApplication::translate("ParameterFile", "显示值与原始值不一致");
    return rangeFault(row, parts[2], *number);
}

} // namespace

QString parameterFileText(const ParameterSet &set)
{
    QString text = QString::fromUtf8(kFileHeader) + QString::number(kFileVersion) + u'\n';
    text += QStringLiteral("# 本文件由 RX904 工具的“设备配置”保存；参数行：名称 | 寄存器（读 / 写）"
                           " | 显示值 | 原始值\n");
    const auto line = [&text](const QString &key, const QString &value) {
        text += key + QStringLiteral(" = ") + value + u'\n';
    };
    line(kIdentification, set.identification);
    line(kStation, QString::number(set.station));
    line(kBaud, QString::number(set.baud));
    line(kDate, set.date);
    line(kToolVersion, set.toolVersion);
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const std::uint16_t raw = set.raw[static_cast<std::size_t>(row.field)];
        line(kParameter, QStringList{QString::fromUtf8(row.caption),
                                     QString::fromStdString(values::registerText(row)),
                                     shownText(row.field, raw), QString::number(raw)}
                             .join(QStringLiteral(" | ")));
    }
    return text;
}

LoadResult parseParameterFile(const QByteArray &bytes)
{
    // A reason that names the row already ("（校 正 值）：…") follows the line number.
    const auto refuse = [](int line, const QString &reason) {
        const QString separator = reason.startsWith(u'（')
                                      ? QString()
                                      : QCoreApplication::translate("ParameterFile", "：");
        return LoadResult{std::nullopt, QCoreApplication::translate("ParameterFile", "第 %1 行%2%3")
                                            .arg(line)
                                            .arg(separator, reason)};
    };
    QString content = QString::fromUtf8(bytes);
    if (content.startsWith(QChar(0xFEFF)))
        content.remove(0, 1);
    const QStringList lines = content.split(u'\n');
    const QString header = QString::fromUtf8(kFileHeader);
    const QString first = lines.value(0).trimmed();
    if (!first.startsWith(header))
        return refuse(1, QCoreApplication::translate("ParameterFile",
                                                     "不是 RX904 参数文件（第一行应为“%1%2”）")
                             .arg(header)
                             .arg(kFileVersion));
    if (first != header + QString::number(kFileVersion))
        return refuse(1, QCoreApplication::translate("ParameterFile",
                                                     "文件版本“%1”不受支持，本工具读取版本 %2")
                             .arg(first.mid(header.size()))
                             .arg(kFileVersion));

    ParameterSet set;
    std::map<QString, int> seen;
    std::size_t rows = 0;
    for (int index = 1; index < lines.size(); ++index) {
        const int number = index + 1;
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return refuse(number, QCoreApplication::translate("ParameterFile", "应为“名称 = 值”"));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key != kParameter && !seen.emplace(key, number).second)
            return refuse(number,
                          QCoreApplication::translate("ParameterFile", "“%1”重复").arg(key));
        if (key == kIdentification) {
            if (value.size() > modbus::kDeviceInfoLength)
                return refuse(
                    number, QCoreApplication::translate("ParameterFile", "识别文字最多 11 个字符"));
            set.identification = value;
        } else if (key == kStation) {
            const auto station = wholeNumber(value, 1, 250);
            if (!station)
                return refuse(number, QCoreApplication::translate("ParameterFile",
                                                                  "站号应为 1 到 250 的整数"));
            set.station = *station;
        } else if (key == kBaud) {
            const auto baud = wholeNumber(value, 1, 38400);
            if (!baud || std::ranges::find(modbus::kBaudRates, *baud) == modbus::kBaudRates.end())
                return refuse(number, i18n::message(values::text::kBaudRateValues));
            set.baud = *baud;
        } else if (key == kDate) {
            set.date = value;
        } else if (key == kToolVersion) {
            set.toolVersion = value;
        } else if (key == kParameter) {
            if (rows >= set.raw.size())
                return refuse(number,
                              QCoreApplication::translate("ParameterFile", "参数行多于 %1 行")
                                  .arg(set.raw.size()));
            const modbus::RegisterRow &row = modbus::registerMap()[rows];
            const QStringList parts = value.split(u'|');
            QStringList trimmed;
            for (const QString &part : parts)
                trimmed << part.trimmed();
            const QString fault = parameterFault(row, trimmed, set.raw[rows]);
            if (!fault.isEmpty())
                return refuse(number, fault);
            ++rows;
        } else {
            return refuse(number,
                          QCoreApplication::translate("ParameterFile", "未知的项目“%1”").arg(key));
        }
    }
    const int end = static_cast<int>(lines.size());
    for (const QString &key : {kIdentification, kStation, kBaud, kDate, kToolVersion}) {
        if (!seen.contains(key))
            return refuse(end,
                          QCoreApplication::translate("ParameterFile", "文件缺少“%1”").arg(key));
    }
    if (rows != set.raw.size())
        return refuse(end,
                      QCoreApplication::translate("ParameterFile", "文件只有 %1 个参数，应为 %2 个")
                          .arg(rows)
                          .arg(set.raw.size()));
    return {set, {}};
}

LoadResult loadParameterFile(const QString &path)
{
    QFile file(path);
    // A parameter file is a page of text; anything far larger is not one.
    constexpr qint64 kMaxFileSize = 64 * 1024;
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QCoreApplication::translate("ParameterFile", "无法打开文件：%1")
                                  .arg(file.errorString())};
    if (file.size() > kMaxFileSize)
        return {std::nullopt,
                QCoreApplication::translate("ParameterFile", "文件过大，不是 RX904 参数文件")};
    return parseParameterFile(file.readAll());
}

QString saveParameterFile(const QString &path, const ParameterSet &set)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QCoreApplication::translate("ParameterFile", "无法保存文件：%1")
            .arg(file.errorString());
    QString text = parameterFileText(set);
#ifdef Q_OS_WIN
    // Windows' editors and tools expect CRLF; the reader takes either line end.
    text.replace(u'\n', QStringLiteral("\r\n"));
#endif
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return QCoreApplication::translate("ParameterFile", "文件未保存（原有文件保持不变）：%1")
            .arg(file.errorString());
    return {};
}

} // namespace commissioning
