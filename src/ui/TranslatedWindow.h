#pragma once

#include <functional>
#include <memory>

#include "ui/WindowTarget.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// A window's place in the language refresh: a window handle in the refresh list that
// calls `refresh` on WM_REFRESH_TEXTS (and `other` for any other message). It joins the
// list at once and leaves it before its handle goes.
class TranslatedWindow {
  public:
    TranslatedWindow(app::Application& app, std::function<void()> refresh,
                     WindowTarget::Handler other = {});
    ~TranslatedWindow();
    TranslatedWindow(const TranslatedWindow&) = delete;
    TranslatedWindow& operator=(const TranslatedWindow&) = delete;

    platform::WindowHandle handle() const { return target_.handle(); }

  private:
    app::Application& app_;
    WindowTarget target_;
};

}  // namespace velto::ui
