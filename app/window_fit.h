#pragma once
#include <QSize>

class QWidget;

namespace app {

// A window manager's title bar above a window, in the screen's own pixels.
inline constexpr int kTitleBarPixels = 32;

// Sizes a top-level window to `preferred`, or smaller where its screen has less room (a
// 1366x768 laptop at 125 %), but never below what its layout needs.
void fitToScreen(QWidget &window, QSize preferred);

} // namespace app
