#pragma once

namespace app {

// The RX904 product page, where the manual and documents are downloaded. Shown by Label4 and
// opened by both link labels.
inline constexpr char kProductPageUrl[] =
    "http://www.example.com/products/instrument/controller/2016/0414/RX904.html";

// The RX903 page shown by lblurl, which lies under Frame3 and is never seen.
inline constexpr char kRx903PageUrl[] = "http://www.example.com/products/RX903.html";

} // namespace app
