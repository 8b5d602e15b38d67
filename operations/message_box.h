#pragma once
#include <QString>

namespace ops {

enum class MessageIcon { None, Exclamation };

// A modal message with only an OK button; returns when the operator has closed it.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString &text, const QString &title, MessageIcon icon) = 0;
    // The same with a smaller second text below the first, such as the cause of an error.
    // A box without room for it shows the first text alone.
    virtual void showWithInformativeText(const QString &text, const QString &title,
                                         MessageIcon icon, const QString &informativeText)
    {
        Q_UNUSED(informativeText);
        show(text, title, icon);
    }
};

} // namespace ops
