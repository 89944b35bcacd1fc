#include "ui/QtFrontEnd.h"

#include "app/Application.h"
#include "server/ServerAddress.h"
#include "ui/DialogDriver.h"
#include "ui/PartnerList.h"

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
    webBase_ = webBase;
    mainWindow_ = std::make_unique<ForTestDialog>(*app_, webBase);
    boxes_.SetOwner(mainWindow_.get());
    // The contact list fills the main window's slot and takes the core's list messages.
    auto* list = new PartnerList(*app_);
    mainWindow_->contactListSlot()->SetContent(list);
    if (options_.contactsFile) {
        contactEditor_ = new ContactEditor(*app_, *options_.contactsFile, mainWindow_.get());
        contactEditor_->Load();
        list->SetContactEditor(contactEditor_);
    }
    app_->contactUpdates().SetContactList({.window = [list] { return list->handle(); },
                                           .rebuildAndShow = [list] { list->Rebuild(); }});
    mainWindow_->SetOptionsOpener(
        [this] { DialogDriver::OpenOptions(*app_, mainWindow_.get(), 0); });
    mainWindow_->SetMissedCallOpener(
        [this, list] { DialogDriver::OpenMissedCalls(*app_, mainWindow_.get(), list); });
    return mainWindow_->handle();
}

void QtFrontEnd::ShowMainWindow(bool hidden) {
    if (mainWindow_ && !hidden) {
        mainWindow_->show();
        mainWindow_->raise();
    }
}

void QtFrontEnd::DestroyMainWindow() {
    if (app_ != nullptr) {
        app_->contactUpdates().SetContactList({});
    }
    boxes_.SetOwner(nullptr);
    contactEditor_ = nullptr;
    mainWindow_.reset();
}

void QtFrontEnd::Run(platform::MessageLoop&) {
    bridge_->Exec();
}

}  // namespace velto::ui
