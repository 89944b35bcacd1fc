#include "platform/WindowManager.h"

#include <memory>

namespace velto::platform {

WindowHandle WindowManager::Create(MessageLoop& loop, MessageTarget& target, std::string title) {
    std::lock_guard guard(mutex_);
    const WindowHandle handle = next_++;
    windows_.emplace(handle, Window{&loop, &target, std::move(title)});
    return handle;
}

void WindowManager::Destroy(WindowHandle window) {
    std::lock_guard guard(mutex_);
    windows_.erase(window);
}

bool WindowManager::IsWindow(WindowHandle window) const {
    std::lock_guard guard(mutex_);
    return windows_.count(window) == 1;
}

WindowHandle WindowManager::FindWindow(const std::string& title) const {
    std::lock_guard guard(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window.title == title) {
            return handle;
        }
    }
    return 0;
}

void WindowManager::SetTitle(WindowHandle window, std::string title) {
    std::lock_guard guard(mutex_);
    const auto it = windows_.find(window);
    if (it != windows_.end()) {
        it->second.title = std::move(title);
    }
}

LResult WindowManager::Deliver(WindowHandle window, uint32_t message, WParam wParam,
                               LParam lParam) {
    MessageTarget* target = nullptr;
    {
        std::lock_guard guard(mutex_);
        const auto it = windows_.find(window);
        if (it == windows_.end()) {
            return 0;
        }
        target = it->second.target;
    }
    return target->OnMessage(message, wParam, lParam);
}

bool WindowManager::PostMessage(WindowHandle window, uint32_t message, WParam wParam,
                                LParam lParam) {
    MessageLoop* loop = nullptr;
    {
        std::lock_guard guard(mutex_);
        const auto it = windows_.find(window);
        if (it == windows_.end()) {
            return false;
        }
        loop = it->second.loop;
    }
    return loop->Post(
        [this, window, message, wParam, lParam] { Deliver(window, message, wParam, lParam); });
}

LResult WindowManager::SendMessage(WindowHandle window, uint32_t message, WParam wParam,
                                   LParam lParam) {
    MessageLoop* loop = nullptr;
    {
        std::lock_guard guard(mutex_);
        const auto it = windows_.find(window);
        if (it == windows_.end()) {
            return 0;
        }
        loop = it->second.loop;
    }
    if (loop->IsLoopThread()) {
        return Deliver(window, message, wParam, lParam);
    }

    struct Reply {
        std::mutex mutex;
        bool done = false;
        LResult result = 0;
    };
    auto reply = std::make_shared<Reply>();
    auto condition = std::make_shared<ClockCondition>(loop->clock());
    auto finish = [reply, condition](LResult result) {
        {
            std::lock_guard guard(reply->mutex);
            reply->done = true;
            reply->result = result;
        }
        condition->NotifyAll();
    };
    loop->Post([this, window, message, wParam, lParam,
                finish] { finish(Deliver(window, message, wParam, lParam)); },
               [finish] { finish(0); });
    std::unique_lock lock(reply->mutex);
    condition->Wait(lock, [&] { return reply->done; });
    return reply->result;
}

}  // namespace velto::platform
