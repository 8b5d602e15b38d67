#include "qt_message_box.h"

#include <QMessageBox>

namespace app {

void QtMessageBox::show(const QString &text, const QString &title, ops::MessageIcon icon)
{
    QMessageBox box(icon == ops::MessageIcon::Exclamation ? QMessageBox::Warning
                                                          : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace app
