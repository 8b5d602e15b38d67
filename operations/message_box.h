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
};

} // namespace ops
