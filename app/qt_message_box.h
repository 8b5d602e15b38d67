#pragma once
#include "operations/message_box.h"

class QWidget;

namespace app {

// A modal QMessageBox with only an OK button.
class QtMessageBox : public ops::MessageBox
{
public:
    explicit QtMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(const QString &text, const QString &title, ops::MessageIcon icon) override;
    void showWithInformativeText(const QString &text, const QString &title, ops::MessageIcon icon,
                                 const QString &informativeText) override;

private:
    QWidget *m_parent;
};

} // namespace app
