#pragma once

#include <functional>
#include <memory>

#include "platform/Clock.h"
#include "sipaccount/PasswordStore.h"

namespace velto::skype::sip {

// Puts a time limit on every call of a store that may hang: a keyring service reached over
// D-Bus can keep a caller waiting for the bus's own time-out (25 s) or, behind a prompt
// nobody can see, for ever. The call runs on a thread of its own; when the limit passes
// first, the store is cancelled and counts as unavailable, and every later call says so
// at once instead of waiting again.
class BoundedPasswordStore final : public PasswordStore {
  public:
    BoundedPasswordStore(std::shared_ptr<PasswordStore> inner, platform::Clock& clock,
                         platform::Millis limit);

    std::string Place() const override { return inner_->Place(); }
    PasswordOutcome Read() override;
    PasswordOutcome Write(const std::string& password) override;
    PasswordOutcome Erase() override;

  private:
    PasswordOutcome Run(std::function<PasswordOutcome(PasswordStore&)> call);

    std::shared_ptr<PasswordStore> inner_;
    platform::Clock& clock_;
    platform::Millis limit_;
    std::string gaveUp_;  // set once a call ran out of time
};

}  // namespace velto::skype::sip
