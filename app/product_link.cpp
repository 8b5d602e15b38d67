#include "product_link.h"

#include "product_link_address.h"

#include <QDesktopServices>
#include <QUrl>

namespace app {

void openProductPage()
{
    // The opener keeps its own copy of the address rather than reading the label.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProductPageUrl)));
}

} // namespace app
