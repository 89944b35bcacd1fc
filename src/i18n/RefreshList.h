#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "i18n/RefreshMessage.h"
#include "platform/WindowManager.h"

namespace velto::i18n {

// The windows that re-read their texts when the language changes, in the order they joined.
// A window joins at the end of its initialisation and must leave before its handle is
// destroyed. Safe to use from any thread, although the program uses it from the UI thread.
class RefreshList {
  public:
    explicit RefreshList(platform::WindowManager& windows) : windows_(windows) {}

    // Appends the window unless it is already in the list (or is no window at all).
    void RegisterForRefresh(platform::WindowHandle window);
    void UnregisterFromRefresh(platform::WindowHandle window);
    // Posts WM_REFRESH_TEXTS (wParam = language, lParam = 0) to every listed window in list
    // order and returns at once. A window that no longer exists simply misses it.
    void BroadcastRefresh(int32_t language);

    std::vector<platform::WindowHandle> Windows() const;

  private:
    platform::WindowManager& windows_;
    mutable std::mutex mutex_;
    std::vector<platform::WindowHandle> list_;
};

}  // namespace velto::i18n
