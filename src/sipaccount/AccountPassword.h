#pragma once

#include <string>
#include <vector>

#include "sipaccount/PasswordStore.h"

namespace velto::skype::sip {

// Where the SIP account's password lives: in the keyring when one can be reached, else in
// the owner-only user file (the user hive). A copy in the user file exists only while
// none could go to the keyring: saving into the keyring removes it. So when both hold
// one, the user file's is the newer (saved while the keyring was out of reach) and wins.
class AccountPassword {
  public:
    AccountPassword(PasswordStore& keyring, PasswordStore& userFile)
        : keyring_(keyring), userFile_(userFile) {}

    struct Found {
        std::string password;  // empty: none
        std::string place;     // where it was found; empty: nowhere
        std::string problem;   // why the keyring could not be asked, if it could not
    };
    Found Read();

    struct Saved {
        bool ok = false;
        std::string place;                  // where the password went (empty when removed)
        std::vector<std::string> problems;  // what went wrong on the way, for the user
    };
    // An empty password removes it from both places.
    Saved Save(const std::string& password);

  private:
    Saved Remove();

    PasswordStore& keyring_;
    PasswordStore& userFile_;
};

}  // namespace velto::skype::sip
