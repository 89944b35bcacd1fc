#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "sipaccount/AccountLink.h"
#include "sipaccount/PasswordStore.h"

namespace velto::ui {

// The SIP account as the windows see it: the registration state, with a signal on the UI
// thread whenever the backend changes it (it tells from its own thread).
class SipAccountView final : public QObject {
    Q_OBJECT
  public:
    // Makes the keyring's store of one of the account's passwords (the system's, or a
    // test's).
    using KeyringMaker = skype::sip::KeyringFor;

    SipAccountView(std::shared_ptr<skype::sip::AccountLink> link, KeyringMaker keyring,
                   QObject* parent);
    ~SipAccountView() override;

    skype::sip::RegistrationState state() const { return link_->Current(); }
    const std::shared_ptr<skype::sip::AccountLink>& link() const { return link_; }
    const KeyringMaker& keyring() const { return keyring_; }

  signals:
    void changed();

  private:
    std::shared_ptr<skype::sip::AccountLink> link_;
    KeyringMaker keyring_;
};

}  // namespace velto::ui
