#include "ui/SipAccountView.h"

namespace velto::ui {

SipAccountView::SipAccountView(std::shared_ptr<skype::sip::AccountLink> link, KeyringMaker keyring,
                               QObject* parent)
    : QObject(parent), link_(std::move(link)), keyring_(std::move(keyring)) {
    // Queued: a posted event of an object that goes is dropped with it, and clearing the
    // listener below waits for a call under way.
    link_->SetListener([this] {
        QMetaObject::invokeMethod(
            this, [this] { emit changed(); }, Qt::QueuedConnection);
    });
}

SipAccountView::~SipAccountView() {
    link_->SetListener({});
}

}  // namespace velto::ui
