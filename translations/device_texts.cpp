#include "device_texts.h"

#include "modbus/exception_codes.h"
#include "modbus/hex_text.h"

#include <QCoreApplication>

namespace i18n {

QString caption(const modbus::RegisterRow &row)
{
    return QCoreApplication::translate("RegisterMap", row.caption);
}

QString hint(const modbus::RegisterRow &row)
{
    return *row.hint ? QCoreApplication::translate("RegisterMap", row.hint) : QString();
}

QString exceptionText(int code)
{
    const QString number =
        QString::fromStdString(modbus::FormatHex(static_cast<std::uint8_t>(code)));
    const std::string meaning = modbus::exceptionMeaning(code);
    if (meaning.empty())
        return QCoreApplication::translate("Modbus", "异常码 %1").arg(number);
    return QCoreApplication::translate("Modbus", "异常码 %1（%2）")
        .arg(number, QCoreApplication::translate("Modbus", meaning.c_str()));
}

QString message(const char *text)
{
    return QCoreApplication::translate("Messages", text);
}

} // namespace i18n
