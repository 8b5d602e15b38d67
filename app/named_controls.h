#pragma once
#include <QPushButton>
#include <QString>

namespace app {

// The tool's windows give every control an object name, by which tests find it, and an
// accessible name, by which screen readers announce it.
template <typename W> W *named(W *widget, const char *objectName, const QString &accessibleName)
{
    widget->setObjectName(QLatin1String(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// A button announced by its own text.
inline QPushButton *namedButton(const char *objectName, const QString &text)
{
    return named(new QPushButton(text), objectName, text);
}

} // namespace app
