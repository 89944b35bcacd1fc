#pragma once

#include <cstdint>

#include "i18n/RefreshMessage.h"

namespace velto::core {

// Private window messages of the main window. The numbers are fixed: other windows and
// workers post them by value.
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_APP = 0x8000;

constexpr uint32_t WM_UPDATELIST = WM_USER + 0x400;        // 0x0800
constexpr uint32_t WM_UPDATEUSERSTATUS = WM_USER + 0x401;  // 0x0801
constexpr uint32_t WM_BLINK_TIMER = WM_USER + 0x402;       // 0x0802
constexpr uint32_t WM_SHOW_MAIN_WINDOW = WM_USER + 0x403;  // 0x0803
constexpr uint32_t WM_SKYPE_LOST = WM_USER + 0x404;        // 0x0804
constexpr uint32_t WM_CONTACTS_STABLE = WM_USER + 0x800;   // 0x0C00
constexpr uint32_t WM_SOUND_FINISHED = WM_USER + 0x804;    // 0x0C04
constexpr uint32_t WM_TRAY_NOTIFY = WM_APP + 0x001;        // 0x8001
using i18n::WM_REFRESH_TEXTS;  // 0x8400, WM_APP + 0x400: owned by the language table

static_assert(WM_REFRESH_TEXTS == WM_APP + 0x400);

}  // namespace velto::core
