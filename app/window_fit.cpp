#include "window_fit.h"

#include <QScreen>
#include <QWidget>
#include <QtMath>

namespace app {

void fitToScreen(QWidget &window, QSize preferred)
{
    const QScreen *screen = window.screen();
    if (!screen) {
        window.resize(preferred);
        return;
    }
    const QRect available = screen->availableGeometry();
    const int titleBar = qCeil(kTitleBarPixels / screen->devicePixelRatio());
    const QSize room(available.width(), available.height() - titleBar);
    window.resize(preferred.boundedTo(room).expandedTo(window.minimumSizeHint()));
}

} // namespace app
