#pragma once

#include "platform/Registry.h"
#include "sipaccount/PasswordStore.h"

namespace velto::skype::sip {

// A password as a value of HKEY_CURRENT_USER\Software\Velto\Sip (Password, TurnPassword):
// the user hive is a file only its owner may read, the place used when no keyring can be
// reached.
class HivePasswordStore final : public PasswordStore {
  public:
    explicit HivePasswordStore(platform::Registry& registry,
                               const PasswordItem& item = kAccountPassword)
        : registry_(registry), value_(item.hiveValue) {}

    std::string Place() const override { return kUserFilePlace; }
    PasswordOutcome Read() override;
    PasswordOutcome Write(const std::string& password) override;
    PasswordOutcome Erase() override;

  private:
    platform::Registry& registry_;
    const char* value_;
};

}  // namespace velto::skype::sip
