#pragma once
#include "main_window_ui.h"
#include "operations/form.h"

namespace app {

// The operations' view of the window, over the real widgets.
class WidgetForm : public ops::Form
{
public:
    explicit WidgetForm(MainWindowUi &ui) : m_ui(ui) {}

    QString text(ops::Field field) const override;
    void setText(ops::Field field, const QString &text) override;
    void showLamp(ops::Lamp lamp) override;
    int listCount(ops::List list) const override;
    QString listText(ops::List list, int index) const override;
    void setListItems(ops::List list, const QStringList &items) override;
    int selectedIndex(ops::List list) const override;
    void selectIndex(ops::List list, int index) override;
    // A value waiting to be written shows in italics, with a tooltip that says so.
    void setAwaitsWrite(ops::Field field, bool awaits) override;

    [[nodiscard]] ops::Lamp lampInFront() const { return m_lampInFront; }

private:
    QComboBox *combo(ops::List list) const;

    MainWindowUi &m_ui;
    ops::Lamp m_lampInFront = ops::Lamp::imgNotConnected;
};

} // namespace app
