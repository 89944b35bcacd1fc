#include "ui/TranslatedWindow.h"

#include "app/Application.h"
#include "i18n/RefreshMessage.h"

namespace velto::ui {

TranslatedWindow::TranslatedWindow(app::Application& app, std::function<void()> refresh,
                                   WindowTarget::Handler other)
    : app_(app),
      target_(app.windows(), app.loop(), {},
              [refresh = std::move(refresh), other = std::move(other)](
                  uint32_t message, platform::WParam wParam,
                  platform::LParam lParam) -> platform::LResult {
                  if (message == i18n::WM_REFRESH_TEXTS) {
                      if (refresh) {
                          refresh();
                      }
                      return 0;
                  }
                  return other ? other(message, wParam, lParam) : 0;
              }) {
    app_.refreshList().RegisterForRefresh(target_.handle());
}

TranslatedWindow::~TranslatedWindow() {
    app_.refreshList().UnregisterFromRefresh(target_.handle());
}

}  // namespace velto::ui
