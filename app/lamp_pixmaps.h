#pragma once
#include "operations/form.h"

#include <QIcon>
#include <QPixmap>

namespace app {

using ops::Lamp;

inline constexpr int kLampSize = 16;

// A round status lamp of kLampSize x kLampSize device-independent pixels on a transparent
// background, drawn at the given device pixel ratio so it stays sharp on scaled screens.
[[nodiscard]] QPixmap lampPixmap(Lamp lamp, qreal devicePixelRatio = 1.0);

// The window icon: a panel meter with its needle, in the sizes window managers ask for.
[[nodiscard]] QIcon windowIcon();

} // namespace app
