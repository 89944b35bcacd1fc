#include "ui/WindowTarget.h"

namespace velto::ui {

WindowTarget::WindowTarget(platform::WindowManager& windows, platform::MessageLoop& loop,
                           std::string title, Handler handler)
    : windows_(windows),
      handle_(windows.Create(loop, *this, std::move(title))),
      handler_(std::move(handler)) {}

WindowTarget::~WindowTarget() {
    Destroy();
}

void WindowTarget::Destroy() {
    if (handle_ != 0) {
        windows_.Destroy(handle_);
        handle_ = 0;
    }
}

platform::LResult WindowTarget::OnMessage(uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) {
    return handler_ ? handler_(message, wParam, lParam) : 0;
}

}  // namespace velto::ui
