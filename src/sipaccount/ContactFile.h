#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sipaccount/SipAddress.h"

namespace velto::skype::sip {

// One contact of the user's address book: the vCard's FN, NICKNAME and its first
// IMPP value with the sip: scheme.
struct SipContact {
    std::string fullName;
    std::string nickname;
    SipAddress address;
    // CATEGORIES: the groups the user put the contact in.
    std::vector<std::string> groups{};
};

// What reading a contact file gave: the contacts, or an error naming the line. Cards
// without a SIP address are skipped and named in `skipped`.
struct ContactFileText {
    std::vector<SipContact> contacts;
    std::vector<std::string> skipped;
    std::string error;  // empty: the text was read
    // With an error: the whole cards before the damage, for a reader that keeps what is
    // good of a damaged file (`contacts` is empty then).
    std::vector<SipContact> beforeDamage{};
    // The error is in the file's bytes (malformed or oversized), not in reading them.
    bool damaged = false;
};

// Limits on outside data: a larger file, line or address book is refused.
inline constexpr size_t kMaxContactFileBytes = 1 << 20;
inline constexpr size_t kMaxContactLineBytes = 8192;
inline constexpr size_t kMaxContacts = 2000;
// A longer name or nickname is cut to this.
inline constexpr size_t kMaxContactFieldBytes = 1024;
// Groups of one contact, and a group's name (longer names are cut): a saved card's
// CATEGORIES line stays within the line limit even with every character escaped.
inline constexpr size_t kMaxContactGroups = 16;
inline constexpr size_t kMaxGroupNameBytes = 100;

// Reads vCard 4.0 text (also 3.0, which address books still export): folded lines,
// property groups and parameters, backslash escapes, CRLF or LF.
ContactFileText ParseContactFile(std::string_view text);
// The contacts as vCard 4.0 text, one card each, CRLF line ends.
std::string FormatContactFile(const std::vector<SipContact>& contacts);

// $XDG_CONFIG_HOME/Velto/contacts.vcf under the given config folder.
std::filesystem::path ContactFilePath(const std::filesystem::path& configHome);
// Reads the file. A missing file is an empty address book; an unreadable, oversized or
// malformed one gives the error (with the file's name).
ContactFileText ReadContactFile(const std::filesystem::path& path);
// Saves atomically, readable by the owner only; false with `error` set on failure.
bool WriteContactFile(const std::filesystem::path& path, const std::vector<SipContact>& contacts,
                      std::string& error);

}  // namespace velto::skype::sip
