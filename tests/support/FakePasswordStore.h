#pragma once

#include <optional>
#include <string>

#include "sipaccount/PasswordStore.h"

namespace velto::test {

// A password store in memory that can be made unreachable or read-only.
class FakeStore final : public skype::sip::PasswordStore {
  public:
    explicit FakeStore(std::string place) : place_(std::move(place)) {}

    std::string Place() const override { return place_; }
    skype::sip::PasswordOutcome Read() override {
        ++calls;
        if (!reachable) {
            return skype::sip::PasswordOutcome::Unavailable(place_ + " is out of reach");
        }
        return value ? skype::sip::PasswordOutcome::Done(*value)
                     : skype::sip::PasswordOutcome::Absent();
    }
    skype::sip::PasswordOutcome Write(const std::string& password) override {
        ++calls;
        if (!reachable) {
            return skype::sip::PasswordOutcome::Unavailable(place_ + " is out of reach");
        }
        if (!writable) {
            return skype::sip::PasswordOutcome::Unavailable(place_ + " refused");
        }
        value = password;
        return skype::sip::PasswordOutcome::Done();
    }
    skype::sip::PasswordOutcome Erase() override {
        ++calls;
        if (!reachable) {
            return skype::sip::PasswordOutcome::Unavailable(place_ + " is out of reach");
        }
        if (!writable) {
            return skype::sip::PasswordOutcome::Unavailable(place_ + " refused");
        }
        value.reset();
        return skype::sip::PasswordOutcome::Done();
    }

    std::optional<std::string> value;
    bool reachable = true;
    bool writable = true;
    int calls = 0;

  private:
    std::string place_;
};

}  // namespace velto::test
