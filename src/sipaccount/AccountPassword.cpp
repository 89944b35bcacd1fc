#include "sipaccount/AccountPassword.h"

namespace velto::skype::sip {

using Kind = PasswordOutcome::Kind;

AccountPassword::Found AccountPassword::Read() {
    PasswordOutcome file = userFile_.Read();
    if (file.kind == Kind::Done) {
        return {std::move(file.password), userFile_.Place(), {}};
    }
    PasswordOutcome keyring = keyring_.Read();
    if (keyring.kind == Kind::Done) {
        return {std::move(keyring.password), keyring_.Place(), {}};
    }
    return {{}, {}, std::move(keyring.problem)};
}

AccountPassword::Saved AccountPassword::Save(const std::string& password) {
    if (password.empty()) {
        return Remove();
    }
    Saved saved;
    const PasswordOutcome keyring = keyring_.Write(password);
    if (keyring.kind == Kind::Done) {
        saved.place = keyring_.Place();
        const PasswordOutcome erased = userFile_.Erase();
        saved.ok = erased.kind == Kind::Done;
        if (!saved.ok) {
            // The older copy there would still be the one used.
            saved.problems.push_back("the old password in the " + userFile_.Place() +
                                     " could not be removed: " + erased.problem);
        }
        return saved;
    }
    saved.problems.push_back(keyring.problem);
    const PasswordOutcome file = userFile_.Write(password);
    saved.ok = file.kind == Kind::Done;
    if (saved.ok) {
        saved.place = userFile_.Place();
    } else {
        saved.problems.push_back(file.problem);
    }
    return saved;
}

AccountPassword::Saved AccountPassword::Remove() {
    Saved saved;
    const PasswordOutcome keyring = keyring_.Erase();
    if (keyring.kind != Kind::Done) {
        saved.problems.push_back(keyring.problem + "; a password kept there stays");
    }
    const PasswordOutcome file = userFile_.Erase();
    saved.ok = file.kind == Kind::Done;
    if (!saved.ok) {
        saved.problems.push_back(file.problem);
    }
    return saved;
}

}  // namespace velto::skype::sip
