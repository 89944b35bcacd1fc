#include "sipaccount/HivePasswordStore.h"

#include "sipaccount/SipSettings.h"

namespace velto::skype::sip {

using platform::RegError;
using platform::RegRoot;

namespace {

PasswordOutcome NotSaved(const platform::Registry& registry) {
    return PasswordOutcome::Unavailable(registry.files().currentUser.string() +
                                        " could not be saved");
}

}  // namespace

PasswordOutcome HivePasswordStore::Read() {
    std::string password;
    if (registry_.QueryString(RegRoot::CurrentUser, kSipKey, value_, password) != RegError::Ok ||
        password.empty()) {
        return PasswordOutcome::Absent();
    }
    return PasswordOutcome::Done(std::move(password));
}

PasswordOutcome HivePasswordStore::Write(const std::string& password) {
    if (registry_.CreateKey(RegRoot::CurrentUser, kSipKey) != RegError::Ok ||
        registry_.SetString(RegRoot::CurrentUser, kSipKey, value_, password) != RegError::Ok) {
        return NotSaved(registry_);
    }
    return PasswordOutcome::Done();
}

PasswordOutcome HivePasswordStore::Erase() {
    const RegError result = registry_.DeleteValue(RegRoot::CurrentUser, kSipKey, value_);
    if (result != RegError::Ok && result != RegError::NotFound) {
        return NotSaved(registry_);
    }
    return PasswordOutcome::Done();
}

}  // namespace velto::skype::sip
