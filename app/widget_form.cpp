#include "widget_form.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace app {
namespace {

// Only changed texts are written, so a poll that reads the same values repaints nothing.
void setIfChanged(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void setIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

void setIfChanged(QPlainTextEdit *edit, const QString &text)
{
    if (edit->toPlainText() != text)
        edit->setPlainText(text);
}

QString lampName(ops::Lamp lamp)
{
    switch (lamp) {
    case ops::Lamp::ImgYellow:
        return QCoreApplication::translate("MainWindow", "黄灯");
    case ops::Lamp::imgConnected:
        return QCoreApplication::translate("MainWindow", "绿灯");
    case ops::Lamp::imgNotConnected:
        break;
    }
    return QCoreApplication::translate("MainWindow", "红灯");
}

} // namespace

QString WidgetForm::text(ops::Field field) const
{
    using ops::Field;
    switch (field) {
    case Field::txtStationID:
        return m_ui.txtStationID->text();
    case Field::txtFunID:
        return m_ui.txtFunID->text();
    case Field::txtStartID:
        return m_ui.txtStartID->text();
    case Field::txtDataLength:
        return m_ui.txtDataLength->text();
    case Field::txtSetID0:
        return m_ui.txtSetID[0]->text();
    case Field::txtSetID1:
        return m_ui.txtSetID[1]->text();
    case Field::txtTimerSet:
        return m_ui.txtTimerSet->text();
    case Field::TXTtype:
        return m_ui.TXTtype->text();
    case Field::txtCommand:
        return m_ui.txtCommand->toPlainText();
    case Field::txtState:
        return m_ui.txtState->toPlainText();
    case Field::lblCounter:
        return m_ui.lblCounter->text();
    case Field::lblErrCounter:
        return m_ui.lblErrCounter->text();
    case Field::Combo2:
        return m_ui.Combo2->currentText();
    default:
        break;
    }
    const int value = static_cast<int>(field) - static_cast<int>(Field::txtValue0);
    if (value >= 0 && value < modbus::kValueFieldCount)
        return m_ui.txtValue[static_cast<std::size_t>(value)]->text();
    return {};
}

void WidgetForm::setText(ops::Field field, const QString &text)
{
    using ops::Field;
    switch (field) {
    case Field::txtStationID:
        return setIfChanged(m_ui.txtStationID, text);
    case Field::txtFunID:
        return setIfChanged(m_ui.txtFunID, text);
    case Field::txtStartID:
        return setIfChanged(m_ui.txtStartID, text);
    case Field::txtDataLength:
        return setIfChanged(m_ui.txtDataLength, text);
    case Field::txtSetID0:
        return setIfChanged(m_ui.txtSetID[0], text);
    case Field::txtSetID1:
        return setIfChanged(m_ui.txtSetID[1], text);
    case Field::txtTimerSet:
        return setIfChanged(m_ui.txtTimerSet, text);
    case Field::TXTtype:
        return setIfChanged(m_ui.TXTtype, text);
    case Field::txtCommand:
        return setIfChanged(m_ui.txtCommand, text);
    case Field::txtState:
        return setIfChanged(m_ui.txtState, text);
    case Field::lblCounter:
        return setIfChanged(m_ui.lblCounter, text);
    case Field::lblErrCounter:
        return setIfChanged(m_ui.lblErrCounter, text);
    case Field::Combo2:
        return m_ui.Combo2->setEditText(text);
    default:
        break;
    }
    const int value = static_cast<int>(field) - static_cast<int>(Field::txtValue0);
    if (value >= 0 && value < modbus::kValueFieldCount)
        setIfChanged(m_ui.txtValue[static_cast<std::size_t>(value)], text);
}

void WidgetForm::setAwaitsWrite(ops::Field field, bool awaits)
{
    const bool was = awaitsWrite(field);
    ops::Form::setAwaitsWrite(field, awaits);
    const int value = static_cast<int>(field) - static_cast<int>(ops::Field::txtValue0);
    if (was == awaits || value < 0 || value >= modbus::kValueFieldCount)
        return;
    QLineEdit *edit = m_ui.txtValue[static_cast<std::size_t>(value)];
    QFont font = edit->font();
    font.setItalic(awaits);
    edit->setFont(font);
    edit->setToolTip(awaits ? QCoreApplication::translate("MainWindow", "尚未写入设备")
                            : QString());
}

void WidgetForm::showLamp(ops::Lamp lamp)
{
    if (lamp == m_lampInFront)
        return;
    m_lampInFront = lamp;
    switch (lamp) {
    case ops::Lamp::imgNotConnected:
        m_ui.imgNotConnected->raise();
        break;
    case ops::Lamp::ImgYellow:
        m_ui.ImgYellow->raise();
        break;
    case ops::Lamp::imgConnected:
        m_ui.imgConnected->raise();
        break;
    }
    m_ui.Picture2->setAccessibleDescription(lampName(lamp));
}

QComboBox *WidgetForm::combo(ops::List list) const
{
    return list == ops::List::Combo1 ? m_ui.Combo1 : m_ui.Combo2;
}

int WidgetForm::listCount(ops::List list) const
{
    return combo(list)->count();
}

QString WidgetForm::listText(ops::List list, int index) const
{
    return combo(list)->itemText(index);
}

void WidgetForm::setListItems(ops::List list, const QStringList &items)
{
    const QSignalBlocker blocker(combo(list));
    combo(list)->clear();
    combo(list)->addItems(items);
    combo(list)->setCurrentIndex(-1);
}

int WidgetForm::selectedIndex(ops::List list) const
{
    return combo(list)->currentIndex();
}

void WidgetForm::selectIndex(ops::List list, int index)
{
    combo(list)->setCurrentIndex(index);
}

} // namespace app
