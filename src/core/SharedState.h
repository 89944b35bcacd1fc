#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "platform/InterfaceTable.h"
#include "platform/WindowManager.h"

namespace velto::core {

// A string that several threads read and one writes.
class SharedString {
  public:
    SharedString() = default;
    explicit SharedString(std::string value) : value_(std::move(value)) {}
    std::string Get() const {
        std::lock_guard guard(mutex_);
        return value_;
    }
    void Set(std::string value) {
        std::lock_guard guard(mutex_);
        value_ = std::move(value);
    }

  private:
    mutable std::mutex mutex_;
    std::string value_;
};

// The set of calls that already have a call handler.
class ActiveCallSet {
  public:
    // True when the id was not there and is now inserted.
    bool Insert(int32_t callId) {
        std::lock_guard guard(mutex_);
        return ids_.insert(callId).second;
    }
    void Erase(int32_t callId) {
        std::lock_guard guard(mutex_);
        ids_.erase(callId);
    }
    bool Contains(int32_t callId) const {
        std::lock_guard guard(mutex_);
        return ids_.count(callId) == 1;
    }
    size_t size() const {
        std::lock_guard guard(mutex_);
        return ids_.size();
    }

  private:
    mutable std::mutex mutex_;
    std::set<int32_t> ids_;
};

// The process-wide values that several parts of the program read and write. One object
// per running program (and per test), passed to whoever needs it.
struct SharedState {
    std::atomic<platform::WindowHandle> MainWindowHandle{0};
    std::atomic<bool> StartedHidden{false};
    SharedString InstallDirPath;
    SharedString UserDataDir;
    std::atomic<int32_t> DefaultLanguageIndex{0};
    std::atomic<int32_t> CurrentLanguage{-1};
    std::atomic<bool> FirstRun{false};
    std::atomic<bool> FriendMsgEnabled{false};
    std::atomic<bool> AutoUpdateEnabled{false};
    std::atomic<bool> AutoStartEnabled{false};
    std::atomic<bool> AuthorizedOnce{false};
    std::atomic<platform::Cookie> SkypeCookie{0};
    SharedString MyHandle;
    std::atomic<bool> SkypeAttached{false};
    std::atomic<bool> AuthorizationPending{false};
    std::atomic<bool> AuthorizationRefused{false};
    std::atomic<bool> SkypeNotAvailable{true};
    ActiveCallSet ActiveCallIds;
    std::atomic<bool> ContactListFilled{false};
    // The signed-in user's own status as the client last reported it (skype::UserStatus as
    // int; -1 until reported).
    std::atomic<int32_t> MyStatus{-1};
};

}  // namespace velto::core
