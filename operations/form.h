#pragma once
#include "modbus/register_map.h"

#include <QString>
#include <set>

namespace ops {

// The window's fields that operations read and write, under the window's own names.
// The value fields are a contiguous run: valueField(k) is txtValue(k).
enum class Field {
    txtStationID,
    txtFunID,
    txtStartID,
    txtDataLength,
    txtSetID0,
    txtSetID1,
    txtTimerSet,
    TXTtype,
    txtCommand,
    txtState,
    lblCounter,
    lblErrCounter,
    Combo2, // the speed list's text
    txtValue0,
};

[[nodiscard]] constexpr Field valueField(int index)
{
    return static_cast<Field>(static_cast<int>(Field::txtValue0) + index);
}

// The three status lamps stacked in one place; showing one brings it to the front.
enum class Lamp { imgNotConnected, ImgYellow, imgConnected };

// The lists the start-up sequence and the port handlers select from.
enum class List { Combo1, Combo2 };

// What operations see of the window: texts, lamps and the two lists. The real window
// implements it over its widgets; tests implement it over plain values.
class Form
{
public:
    virtual ~Form() = default;
    [[nodiscard]] virtual QString text(Field field) const = 0;
    virtual void setText(Field field, const QString &text) = 0;
    virtual void showLamp(Lamp lamp) = 0;

    [[nodiscard]] virtual int listCount(List list) const = 0;
    [[nodiscard]] virtual QString listText(List list, int index) const = 0;
    virtual void setListItems(List list, const QStringList &items) = 0;
    // -1 when no entry is selected.
    [[nodiscard]] virtual int selectedIndex(List list) const = 0;
    // Selects an entry without raising its handler; the caller runs the handler.
    virtual void selectIndex(List list, int index) = 0;

    // A value field the user typed into, or a preset filled, since an answer last wrote it:
    // it waits to be written to the device, and polling's answers leave it as it is.
    [[nodiscard]] virtual bool awaitsWrite(Field field) const
    {
        return m_awaitsWrite.count(field) != 0;
    }
    virtual void setAwaitsWrite(Field field, bool awaits)
    {
        if (awaits)
            m_awaitsWrite.insert(field);
        else
            m_awaitsWrite.erase(field);
    }

private:
    std::set<Field> m_awaitsWrite;
};

} // namespace ops
