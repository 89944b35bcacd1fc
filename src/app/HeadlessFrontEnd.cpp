#include "app/HeadlessFrontEnd.h"

#include "app/Application.h"
#include "calls/ScriptedAnsweringPanels.h"
#include "core/Messages.h"

namespace velto::app {

HeadlessFrontEnd::HeadlessFrontEnd(platform::Clock& clock, Options options)
    : chooser_(options.language),
      panels_(options.answeringPanels ? std::move(options.answeringPanels)
                                      : std::make_unique<calls::ScriptedAnsweringPanels>(clock)),
      urlOpener_(options.urlOpener ? std::move(options.urlOpener)
                                   : std::make_unique<platform::XdgUrlOpener>()) {}

void HeadlessFrontEnd::Bind(Application& application) {
    mainWindow_ =
        std::make_unique<headless::HeadlessMainWindow>(application.windows(), application.loop());
    server::ContactUpdateHandlers& updates = application.contactUpdates();
    mainWindow_->SetHandler(core::WM_UPDATEUSERSTATUS,
                            [&updates](platform::WParam wParam, platform::LParam lParam) {
                                return updates.OnUpdateUserStatus(wParam, lParam);
                            });
    mainWindow_->SetHandler(core::WM_UPDATELIST,
                            [&updates](platform::WParam wParam, platform::LParam lParam) {
                                return updates.OnUpdateList(wParam, lParam);
                            });
}

platform::WindowHandle HeadlessFrontEnd::CreateMainWindow() {
    return mainWindow_->Create();
}

void HeadlessFrontEnd::ShowMainWindow(bool hidden) {
    mainWindow_->Show(hidden);
}

void HeadlessFrontEnd::DestroyMainWindow() {
    mainWindow_->Destroy();
}

void HeadlessFrontEnd::Run(platform::MessageLoop& loop) {
    loop.Run();
}

}  // namespace velto::app
