#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velto::skype::sip {

// What a password store answered. Unavailable means the store could not be asked (no
// keyring service, a locked or refused keyring, a file that could not be written); Absent
// means it was asked and holds no password.
struct PasswordOutcome {
    enum class Kind { Done, Absent, Unavailable };
    Kind kind = Kind::Unavailable;
    std::string password;  // a Read that is Done
    std::string problem;   // Unavailable: why, in words for the user

    static PasswordOutcome Done(std::string password = {}) {
        return {Kind::Done, std::move(password), {}};
    }
    static PasswordOutcome Absent() { return {Kind::Absent, {}, {}}; }
    static PasswordOutcome Unavailable(std::string problem) {
        return {Kind::Unavailable, {}, std::move(problem)};
    }
};

// The places as the user is told them.
inline constexpr const char* kKeyringPlace = "keyring";
inline constexpr const char* kUserFilePlace = "user file";

// Which password a store keeps: the account's, or the TURN server's (a second item beside
// it, in the same two places).
struct PasswordItem {
    const char* hiveValue;   // its value under HKEY_CURRENT_USER\\Software\\Velto\\Sip
    const char* keyringKey;  // the keyring item's attribute `setting`
    const char* label;       // the keyring item's label, as keyring managers show it
    const char* what;        // for the user: "password", "TURN password"
};
inline constexpr PasswordItem kAccountPassword{"Password", "Software\\Velto\\Sip\\Password",
                                               "Velto SIP account password", "password"};
inline constexpr PasswordItem kTurnPassword{"TurnPassword", "Software\\Velto\\Sip\\TurnPassword",
                                            "Velto TURN server password", "TURN password"};

// One place that can keep the SIP account's password: the system keyring or the
// owner-only user hive. AccountPassword decides which one is used.
class PasswordStore {
  public:
    virtual ~PasswordStore() = default;

    // The place as the user is told it: kKeyringPlace or kUserFilePlace.
    virtual std::string Place() const = 0;
    virtual PasswordOutcome Read() = 0;
    virtual PasswordOutcome Write(const std::string& password) = 0;
    // Done also when there was nothing to erase.
    virtual PasswordOutcome Erase() = 0;
    // Called from another thread when a call has taken too long: the call under way, and
    // every later one, should give up at once.
    virtual void Cancel() {}
};

// Makes the keyring's store of one password (the system's, or a test's).
using KeyringFor = std::function<std::unique_ptr<PasswordStore>(const PasswordItem&)>;

}  // namespace velto::skype::sip
