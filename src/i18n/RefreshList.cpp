#include "i18n/RefreshList.h"

#include <algorithm>

namespace velto::i18n {

void RefreshList::RegisterForRefresh(platform::WindowHandle window) {
    if (window == 0) {
        return;
    }
    std::lock_guard guard(mutex_);
    if (std::find(list_.begin(), list_.end(), window) == list_.end()) {
        list_.push_back(window);
    }
}

void RefreshList::UnregisterFromRefresh(platform::WindowHandle window) {
    std::lock_guard guard(mutex_);
    list_.erase(std::remove(list_.begin(), list_.end(), window), list_.end());
}

void RefreshList::BroadcastRefresh(int32_t language) {
    // Post from a copy: a window may (un)register from its handler on another thread.
    const std::vector<platform::WindowHandle> targets = Windows();
    // Sign-extended, so that a receiver casting wParam back gets -1 for "no language".
    const auto wParam = static_cast<platform::WParam>(static_cast<intptr_t>(language));
    for (platform::WindowHandle window : targets) {
        windows_.PostMessage(window, WM_REFRESH_TEXTS, wParam, 0);
    }
}

std::vector<platform::WindowHandle> RefreshList::Windows() const {
    std::lock_guard guard(mutex_);
    return list_;
}

}  // namespace velto::i18n
