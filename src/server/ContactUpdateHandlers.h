#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "core/SharedState.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"
#include "server/UpdatingListThread.h"

namespace velto::server {

// The main window's handling of WM_UPDATEUSERSTATUS and WM_UPDATELIST. The main window
// (GUI or headless) owns one and calls it from its message handler, on its own thread.
class ContactUpdateHandlers {
  public:
    struct ContactList {
        // The contact list window; 0 while there is none.
        std::function<platform::WindowHandle()> window;
        // Rebuilds the list from all contacts and shows it.
        std::function<void()> rebuildAndShow;
    };

    ContactUpdateHandlers(platform::Clock& clock, platform::Workers& workers,
                          platform::WindowManager& windows, platform::InterfaceTable& table,
                          core::SharedState& state, ContactList contactList);

    // lParam 0: a raw notification, handed to the gathering thread (started on first use);
    // otherwise a gathered one, passed on unchanged to the contact list window.
    platform::LResult OnUpdateUserStatus(platform::WParam wParam, platform::LParam lParam);
    platform::LResult OnUpdateList(platform::WParam wParam, platform::LParam lParam);

    // The front end's contact list, once it has one (the main window's thread).
    void SetContactList(ContactList contactList) { contactList_ = std::move(contactList); }

    // The gathering thread, once started.
    UpdatingListThread* Gatherer() const { return gatherer_.get(); }

  private:
    platform::Clock& clock_;
    platform::Workers& workers_;
    platform::WindowManager& windows_;
    platform::InterfaceTable& table_;
    core::SharedState& state_;
    ContactList contactList_;
    std::unique_ptr<UpdatingListThread> gatherer_;  // main window's thread only
};

}  // namespace velto::server
