#pragma once
#include "operations/form.h"
#include "operations/message_box.h"
#include "operations/poll_timer.h"

#include <QStringList>
#include <map>
#include <vector>

namespace testing_support {

// The window's fields as plain values, with the lamp stack and the two lists.
class FakeForm : public ops::Form
{
public:
    std::map<ops::Field, QString> texts;
    std::vector<ops::Lamp> lampsShown;
    ops::Lamp lampInFront = ops::Lamp::imgNotConnected;
    QStringList combo1;
    QStringList combo2{QStringLiteral("9600"), QStringLiteral("19200")};
    int combo1Index = 3;
    int combo2Index = 0;

    FakeForm()
    {
        for (int n = 1; n <= 25; ++n)
            combo1 << QStringLiteral("COM%1").arg(n);
        texts[ops::Field::txtStationID] = QStringLiteral("2");
        texts[ops::Field::txtFunID] = QStringLiteral("3");
        texts[ops::Field::txtStartID] = QStringLiteral("0");
        texts[ops::Field::txtDataLength] = QStringLiteral("16");
        texts[ops::Field::txtSetID0] = QStringLiteral("1");
        texts[ops::Field::txtSetID1] = QStringLiteral("1");
        texts[ops::Field::txtTimerSet] = QStringLiteral("1000");
        texts[ops::Field::TXTtype] = QStringLiteral("1000");
        texts[ops::Field::lblCounter] = QStringLiteral("0");
        texts[ops::Field::lblErrCounter] = QStringLiteral("0");
        texts[ops::Field::Combo2] = QStringLiteral("9600");
        for (int k = 0; k < modbus::kValueFieldCount; ++k)
            texts[ops::valueField(k)] = QStringLiteral("0");
    }

    QString text(ops::Field field) const override
    {
        const auto it = texts.find(field);
        return it == texts.end() ? QString() : it->second;
    }
    void setText(ops::Field field, const QString &text) override { texts[field] = text; }
    void showLamp(ops::Lamp lamp) override
    {
        lampsShown.push_back(lamp);
        lampInFront = lamp;
    }
    QStringList &list(ops::List which) { return which == ops::List::Combo1 ? combo1 : combo2; }
    const QStringList &list(ops::List which) const
    {
        return which == ops::List::Combo1 ? combo1 : combo2;
    }
    int listCount(ops::List which) const override { return static_cast<int>(list(which).size()); }
    QString listText(ops::List which, int index) const override { return list(which).value(index); }
    void setListItems(ops::List which, const QStringList &items) override
    {
        list(which) = items;
        (which == ops::List::Combo1 ? combo1Index : combo2Index) = -1;
    }
    int selectedIndex(ops::List which) const override
    {
        return which == ops::List::Combo1 ? combo1Index : combo2Index;
    }
    void selectIndex(ops::List which, int index) override
    {
        (which == ops::List::Combo1 ? combo1Index : combo2Index) = index;
        if (which == ops::List::Combo2)
            texts[ops::Field::Combo2] = combo2.value(index);
    }
};

struct ShownMessage
{
    QString text;
    QString title;
    ops::MessageIcon icon;
    QString informativeText;
};

class FakeMessageBox : public ops::MessageBox
{
public:
    std::vector<ShownMessage> shown;
    void show(const QString &text, const QString &title, ops::MessageIcon icon) override
    {
        shown.push_back({text, title, icon, QString()});
    }
    void showWithInformativeText(const QString &text, const QString &title, ops::MessageIcon icon,
                                 const QString &informativeText) override
    {
        shown.push_back({text, title, icon, informativeText});
    }
    QStringList texts() const
    {
        QStringList all;
        for (const auto &m : shown)
            all << m.text;
        return all;
    }
};

class FakeTimer : public ops::PollTimer
{
public:
    int intervalMs = 0;
    bool enabled = true; // enabled with interval 0 at design time: never ticks
    int restarts = 0;
    void setInterval(int ms) override
    {
        intervalMs = ms;
        ++restarts;
    }
    int interval() const override { return intervalMs; }
    void setEnabled(bool on) override { enabled = on; }
    bool isEnabled() const override { return enabled; }
};

} // namespace testing_support
