#include "headless/HeadlessMainWindow.h"

#include "core/MainApp.h"
#include "core/Messages.h"
#include "platform/Trace.h"

namespace velto::headless {

using platform::Trace;

HeadlessMainWindow::HeadlessMainWindow(platform::WindowManager& windows,
                                       platform::MessageLoop& loop)
    : windows_(windows), loop_(loop) {
    // Restore from the tray, show, bring to the front: here, become visible.
    SetHandler(core::WM_SHOW_MAIN_WINDOW, [this](platform::WParam, platform::LParam) {
        Show(false);
        return platform::LResult{0};
    });
}

HeadlessMainWindow::~HeadlessMainWindow() {
    Destroy();
}

platform::WindowHandle HeadlessMainWindow::Create() {
    if (handle_ == 0) {
        handle_ = windows_.Create(loop_, *this, core::kMainWindowTitle);
    }
    return handle_;
}

void HeadlessMainWindow::Destroy() {
    if (handle_ != 0) {
        windows_.Destroy(handle_);
        handle_ = 0;
        Trace("MainWindow: destroyed\n");
    }
}

void HeadlessMainWindow::SetHandler(uint32_t message, Handler handler) {
    handlers_[message] = std::move(handler);
}

void HeadlessMainWindow::Show(bool hidden) {
    visible_ = !hidden;
    Trace("MainWindow: %s\n", hidden ? "hidden" : "shown");
}

const char* HeadlessMainWindow::MessageName(uint32_t message) {
    switch (message) {
        case core::WM_UPDATELIST:
            return "WM_UPDATELIST";
        case core::WM_UPDATEUSERSTATUS:
            return "WM_UPDATEUSERSTATUS";
        case core::WM_BLINK_TIMER:
            return "WM_BLINK_TIMER";
        case core::WM_SHOW_MAIN_WINDOW:
            return "WM_SHOW_MAIN_WINDOW";
        case core::WM_SKYPE_LOST:
            return "WM_SKYPE_LOST";
        case core::WM_CONTACTS_STABLE:
            return "WM_CONTACTS_STABLE";
        case core::WM_SOUND_FINISHED:
            return "WM_SOUND_FINISHED";
        case core::WM_TRAY_NOTIFY:
            return "WM_TRAY_NOTIFY";
        case core::WM_REFRESH_TEXTS:
            return "WM_REFRESH_TEXTS";
        default:
            return "message";
    }
}

platform::LResult HeadlessMainWindow::OnMessage(uint32_t message, platform::WParam wParam,
                                                platform::LParam lParam) {
    Trace("MainWindow: received %s (0x%04X) wParam=%lu lParam=%ld\n", MessageName(message), message,
          static_cast<unsigned long>(wParam), static_cast<long>(lParam));
    const auto it = handlers_.find(message);
    return it == handlers_.end() ? 0 : it->second(wParam, lParam);
}

}  // namespace velto::headless
