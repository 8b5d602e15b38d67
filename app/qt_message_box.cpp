#include "qt_message_box.h"

#include <QMessageBox>

namespace app {

void QtMessageBox::show(const QString &text, const QString &title, ops::MessageIcon icon)
{
    showWithInformativeText(text, title, icon, QString());
}

void QtMessageBox::showWithInformativeText(const QString &text, const QString &title,
                                           ops::MessageIcon icon, const QString &informativeText)
{
    QMessageBox box(icon == ops::MessageIcon::Exclamation ? QMessageBox::Warning
                                                          : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, m_parent);
    box.setInformativeText(informativeText);
    box.exec();
}

} // namespace app
