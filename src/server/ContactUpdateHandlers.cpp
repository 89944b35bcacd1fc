#include "server/ContactUpdateHandlers.h"

#include "core/Messages.h"
#include "platform/Trace.h"

namespace velto::server {

ContactUpdateHandlers::ContactUpdateHandlers(platform::Clock& clock, platform::Workers& workers,
                                             platform::WindowManager& windows,
                                             platform::InterfaceTable& table,
                                             core::SharedState& state, ContactList contactList)
    : clock_(clock),
      workers_(workers),
      windows_(windows),
      table_(table),
      state_(state),
      contactList_(std::move(contactList)) {}

platform::LResult ContactUpdateHandlers::OnUpdateUserStatus(platform::WParam wParam,
                                                            platform::LParam lParam) {
    const auto cookie = static_cast<platform::Cookie>(wParam);
    if (lParam != 0) {
        platform::Trace("really do update status\n");
        const platform::WindowHandle list = contactList_.window ? contactList_.window() : 0;
        // The list consumes the cookie; without a list it would stay in the table for ever.
        if (!windows_.PostMessage(list, core::WM_UPDATEUSERSTATUS, wParam, lParam)) {
            table_.Revoke(cookie);
        }
        return 0;
    }
    if (!gatherer_) {
        gatherer_ =
            std::make_unique<UpdatingListThread>(clock_, workers_, windows_, table_, state_);
    }
    gatherer_->Add(cookie);
    return 0;
}

platform::LResult ContactUpdateHandlers::OnUpdateList(platform::WParam, platform::LParam) {
    platform::Trace("WM_UPDATELIST!!!!!!!!!\n");
    if (contactList_.rebuildAndShow) {
        contactList_.rebuildAndShow();
    }
    return 0;
}

}  // namespace velto::server
