#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sipaccount/ContactFile.h"

namespace velto::skype::sip {

// What went wrong with a change of the address book; the detail says it in English (a
// parser's sentence, a file's name and the system's error text).
enum class ContactProblem {
    None,
    BadAddress,     // the SIP address does not parse or names no user
    TooManyGroups,  // more than kMaxContactGroups
    Duplicate,      // another contact has that address
    NotFound,       // no contact with that handle
    TooMany,        // the book would hold more than kMaxContacts
    NotReadable,    // the file could not be read: it is left alone, nothing is saved
    SaveFailed,     // the file could not be written; the book is as before
    ImportFailed,   // the file to import could not be read or is malformed
};

struct ContactResult {
    ContactProblem problem = ContactProblem::None;
    std::string detail;
    // A save that dropped cards without a SIP address kept the file as it was here.
    std::filesystem::path keptAside{};
    bool ok() const { return problem == ContactProblem::None; }
};

// A contact as the user types it: the address with or without "sip:", the groups as one
// comma-separated text. Names are cut to the file's limits; groups are trimmed, empty ones
// dropped, repeats (in any letter case) left out.
ContactResult MakeContact(std::string_view fullName, std::string_view nickname,
                          std::string_view address, std::string_view groups, SipContact& contact);
// The address a user typed ("bob@example.org" or "sip:..."), as velto-account takes it.
std::optional<SipAddress> ParseContactAddress(std::string_view text, std::string& error);
// The groups as the editor shows them: "Family, Friends".
std::string JoinGroups(const std::vector<std::string>& groups);

// The user's address book as the window edits it. Every change is saved at once,
// atomically; a change that cannot be saved leaves the book as it was.
class ContactBook {
  public:
    struct LoadReport {
        // One line each, in English, for the trace; empty for a sound file.
        std::vector<std::string> problems;
        // Where the damaged file was kept (empty: nothing was moved).
        std::filesystem::path keptAside;
        // Cards of the damaged file that were kept and written back.
        size_t kept = 0;
        bool damaged() const { return !keptAside.empty(); }
    };
    struct ImportReport {
        ContactResult result;
        size_t added = 0;
        size_t known = 0;    // already in the book (by address): left as they are
        size_t skipped = 0;  // cards without a SIP address, or over the book's limit
    };

    explicit ContactBook(std::filesystem::path file);

    // Reads the file. A damaged file (malformed, oversized) is moved aside as FILE.bad-N,
    // and the whole cards before the damage are written back. A file that cannot be read
    // is left alone, and the book refuses changes until a later Load reads it.
    LoadReport Load();

    const std::filesystem::path& file() const { return file_; }
    const std::vector<SipContact>& contacts() const { return contacts_; }
    const SipContact* Find(const std::string& handle) const;

    ContactResult Add(SipContact contact);
    // Replaces the contact `handle` (its address may change, to one no other contact has).
    ContactResult Replace(const std::string& handle, SipContact contact);
    ContactResult Remove(const std::string& handle);
    // Adds the cards of another vCard file whose address is new to the book.
    ImportReport Import(const std::filesystem::path& from);
    // Writes the whole book to `to` (atomically).
    ContactResult Export(const std::filesystem::path& to) const;

  private:
    ContactResult Save(std::vector<SipContact> contacts);
    int IndexOf(const std::string& handle) const;

    std::filesystem::path file_;
    std::vector<SipContact> contacts_;
    // Cards the file held without a SIP address: saving drops them, so the first save
    // keeps the file as it was aside (FILE.bad-N) first.
    bool hadSkipped_ = false;
    bool readable_ = true;
};

}  // namespace velto::skype::sip
