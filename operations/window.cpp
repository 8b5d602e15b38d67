#include "window.h"

#include "messages.h"
#include "translations/device_texts.h"

namespace ops {

void Window::message(const char *text) const
{
    messages.show(i18n::message(text), i18n::message(text::kAppTitle), MessageIcon::None);
}

} // namespace ops
