#include "ui/QtFrontEnd.h"

#include "app/Application.h"
#include "server/ServerAddress.h"

namespace velto::ui {

QtFrontEnd::QtFrontEnd(Options options)
    : options_(std::move(options)),
      boxes_(options_.interactive),
      chooser_(options_.interactive ? options_.language
                                    : std::optional<int32_t>(options_.language.value_or(3))),
      panels_(std::move(options_.script)),
      urlOpener_(options_.urlOpener ? std::move(options_.urlOpener)
                                    : std::make_unique<platform::XdgUrlOpener>()) {}

QtFrontEnd::~QtFrontEnd() {
    mainWindow_.reset();
    bridge_.reset();
}

void QtFrontEnd::Bind(app::Application& application) {
    app_ = &application;
    // From here on Qt's loop drives the program's: also inside the dialogs of start-up
    // (the first-start language question), so that a quit reaches them.
    bridge_ = std::make_unique<QtLoopBridge>(application.loop());
}

platform::WindowHandle QtFrontEnd::CreateMainWindow() {
    const std::string webBase =
        options_.webBase.value_or("http://" + app_->serverLink().settings().host + ":" +
                                  std::to_string(server::kServerWebPort));
    mainWindow_ = std::make_unique<ForTestDialog>(*app_, webBase);
    boxes_.SetOwner(mainWindow_.get());
    return mainWindow_->handle();
}

void QtFrontEnd::ShowMainWindow(bool hidden) {
    if (mainWindow_ && !hidden) {
        mainWindow_->show();
        mainWindow_->raise();
    }
}

void QtFrontEnd::DestroyMainWindow() {
    boxes_.SetOwner(nullptr);
    mainWindow_.reset();
}

void QtFrontEnd::Run(platform::MessageLoop&) {
    bridge_->Exec();
}

}  // namespace velto::ui
