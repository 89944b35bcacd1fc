#pragma once

#include <cstdint>

namespace velto::i18n {

// Tells a window to re-read its texts and redraw. wParam carries a language, but receivers
// use the current language; lParam is 0. WM_APP + 0x400: other windows post it by number.
constexpr uint32_t WM_REFRESH_TEXTS = 0x8400;

}  // namespace velto::i18n
