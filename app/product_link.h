#pragma once

namespace app {

// Opens the RX904 product page with the desktop's default handler. Does not wait for the
// browser and reports nothing when no handler can open it.
void openProductPage();

} // namespace app
