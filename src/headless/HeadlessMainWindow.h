#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/WindowManager.h"

namespace velto::headless {

// The main window of a run without a toolkit: a message target under the main window's
// title that traces every message it receives and hands it to the handler registered for
// it, so that later parts can react to their messages (WM_UPDATELIST, ...).
class HeadlessMainWindow final : public platform::MessageTarget {
  public:
    using Handler = std::function<platform::LResult(platform::WParam, platform::LParam)>;

    HeadlessMainWindow(platform::WindowManager& windows, platform::MessageLoop& loop);
    ~HeadlessMainWindow() override;

    platform::WindowHandle Create();
    void Destroy();
    platform::WindowHandle handle() const { return handle_; }

    // Replaces the handler of `message` (the main thread only, before or while running).
    void SetHandler(uint32_t message, Handler handler);

    void Show(bool hidden);
    bool visible() const { return visible_; }

    platform::LResult OnMessage(uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override;

    // The trace name of one of the program's private messages, or "message".
    static const char* MessageName(uint32_t message);

  private:
    platform::WindowManager& windows_;
    platform::MessageLoop& loop_;
    platform::WindowHandle handle_ = 0;
    std::atomic<bool> visible_{false};
    std::map<uint32_t, Handler> handlers_;
};

}  // namespace velto::headless
