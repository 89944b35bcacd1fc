#pragma once

#include <functional>
#include <string>

#include "platform/WindowManager.h"

namespace velto::ui {

// Gives a Qt window a handle of the program's window table, so that workers and the core
// reach it by posting messages; they are handled on the UI thread, which owns the loop.
class WindowTarget final : public platform::MessageTarget {
  public:
    using Handler = std::function<platform::LResult(uint32_t, platform::WParam, platform::LParam)>;

    WindowTarget(platform::WindowManager& windows, platform::MessageLoop& loop, std::string title,
                 Handler handler);
    ~WindowTarget() override;
    WindowTarget(const WindowTarget&) = delete;
    WindowTarget& operator=(const WindowTarget&) = delete;

    platform::WindowHandle handle() const { return handle_; }
    // Messages posted later are dropped. Idempotent.
    void Destroy();

    platform::LResult OnMessage(uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override;

  private:
    platform::WindowManager& windows_;
    platform::WindowHandle handle_;
    Handler handler_;
};

}  // namespace velto::ui
