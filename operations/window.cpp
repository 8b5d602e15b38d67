#include "window.h"

#include "messages.h"

namespace ops {

void Window::message(const char *text) const
{
    messages.show(QString::fromUtf8(text), QString::fromUtf8(text::kAppTitle), MessageIcon::None);
}

} // namespace ops
