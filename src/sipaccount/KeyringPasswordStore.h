#pragma once

#include <memory>

#include "platform/Clock.h"
#include "sipaccount/PasswordStore.h"

struct _GCancellable;

namespace velto::skype::sip {

// A password in the system keyring, through the Secret Service (libsecret): one item per
// PasswordItem, e.g. labelled "Velto SIP account password", with the attribute
// setting=Software\Velto\Sip\Password of the schema org.velto.Velto.Sip. Any failure to reach the
// service (no session bus, no keyring daemon, a locked keyring nobody can unlock, a refusal) is
// Unavailable. Calls may block for the bus's time-out: use it through SystemKeyring.
class KeyringPasswordStore final : public PasswordStore {
  public:
    explicit KeyringPasswordStore(const PasswordItem& item = kAccountPassword);
    ~KeyringPasswordStore() override;
    KeyringPasswordStore(const KeyringPasswordStore&) = delete;
    KeyringPasswordStore& operator=(const KeyringPasswordStore&) = delete;

    std::string Place() const override { return kKeyringPlace; }
    PasswordOutcome Read() override;
    PasswordOutcome Write(const std::string& password) override;
    PasswordOutcome Erase() override;
    void Cancel() override;

  private:
    PasswordOutcome NoneOrLocked();

    PasswordItem item_;
    _GCancellable* cancellable_;
};

// How long one keyring call may take before the keyring counts as unavailable.
inline constexpr platform::Millis kKeyringTimeLimit{3000};

// The system keyring's item for `item`, with every call bounded by kKeyringTimeLimit.
std::unique_ptr<PasswordStore> SystemKeyring(platform::Clock& clock,
                                             const PasswordItem& item = kAccountPassword);

}  // namespace velto::skype::sip
