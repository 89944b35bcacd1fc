#include "sipaccount/ContactBook.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/AtomicFile.h"
#include "sipaccount/TrimBlanks.h"

namespace velto::skype::sip {
namespace {

// Cut at a character boundary, as the file's reader cuts; control characters (a pasted
// line end) become blanks, as the file would make them, so that what is kept is what is
// saved.
std::string CutTo(std::string_view text, size_t limit) {
    size_t end = text.size();
    if (end > limit) {
        end = limit;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
    }
    std::string out(text.substr(0, end));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return out;
}

// Letter case of ASCII only: group names are compared so by the rules too.
bool SameGroup(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

ContactResult Problem(ContactProblem problem, std::string detail) {
    return ContactResult{problem, std::move(detail)};
}

// Links `path` to the first free `path`.bad-N: the file as it is stays there when `path`
// is replaced. Empty when it could not be linked.
std::filesystem::path LinkAside(const std::filesystem::path& path) {
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path aside = path;
        aside += ".bad-" + std::to_string(n);
        if (::link(path.c_str(), aside.c_str()) == 0) {
            return aside;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

}  // namespace

std::optional<SipAddress> ParseContactAddress(std::string_view text, std::string& error) {
    std::string wanted(TrimBlanks(text));
    if (wanted.rfind("sip:", 0) != 0 && wanted.rfind("sips:", 0) != 0 &&
        wanted.find('<') == std::string::npos) {
        wanted = "sip:" + wanted;
    }
    auto address = ParseSipAddress(wanted, error);
    if (address && address->user.empty()) {
        error = "no user before '@'";
        return std::nullopt;
    }
    return address;
}

ContactResult MakeContact(std::string_view fullName, std::string_view nickname,
                          std::string_view address, std::string_view groups, SipContact& contact) {
    std::string error;
    const auto parsed = ParseContactAddress(address, error);
    if (!parsed) {
        return Problem(ContactProblem::BadAddress, error);
    }
    SipContact made;
    made.address = *parsed;
    made.fullName = CutTo(TrimBlanks(fullName), kMaxContactFieldBytes);
    if (made.fullName.empty()) {
        made.fullName = CutTo(parsed->displayName, kMaxContactFieldBytes);
    }
    made.address.displayName.clear();
    made.nickname = CutTo(TrimBlanks(nickname), kMaxContactFieldBytes);
    size_t start = 0;
    while (start <= groups.size()) {
        size_t comma = groups.find(',', start);
        if (comma == std::string_view::npos) {
            comma = groups.size();
        }
        const std::string name =
            CutTo(TrimBlanks(groups.substr(start, comma - start)), kMaxGroupNameBytes);
        start = comma + 1;
        if (name.empty() || std::any_of(made.groups.begin(), made.groups.end(),
                                        [&](const std::string& g) { return SameGroup(g, name); })) {
            continue;
        }
        if (made.groups.size() == kMaxContactGroups) {
            return Problem(ContactProblem::TooManyGroups,
                           "more than " + std::to_string(kMaxContactGroups) + " groups");
        }
        made.groups.push_back(name);
    }
    contact = std::move(made);
    return {};
}

std::string JoinGroups(const std::vector<std::string>& groups) {
    std::string text;
    for (const std::string& group : groups) {
        text += (text.empty() ? "" : ", ") + group;
    }
    return text;
}

ContactBook::ContactBook(std::filesystem::path file) : file_(std::move(file)) {}

ContactBook::LoadReport ContactBook::Load() {
    LoadReport report;
    ContactFileText read = ReadContactFile(file_);
    hadSkipped_ = !read.skipped.empty();
    readable_ = read.error.empty() || read.damaged;
    for (const std::string& skipped : read.skipped) {
        report.problems.push_back(file_.string() + ": no SIP address: " + skipped);
    }
    if (!readable_) {
        report.problems.push_back(read.error);
        contacts_.clear();
        return report;
    }
    if (!read.damaged) {
        contacts_ = std::move(read.contacts);
        return report;
    }
    report.problems.push_back(read.error);
    report.keptAside = platform::MoveAside(file_);
    if (report.keptAside.empty()) {
        // Left where it is: a later save must not replace what could not be kept.
        report.problems.push_back(file_.string() + " could not be kept aside");
        readable_ = false;
        contacts_.clear();
        return report;
    }
    report.problems.push_back(file_.string() + " is kept as " + report.keptAside.string());
    contacts_ = std::move(read.beforeDamage);
    hadSkipped_ = false;  // the file as it was is aside already
    report.kept = contacts_.size();
    if (!contacts_.empty()) {
        std::string error;
        if (!WriteContactFile(file_, contacts_, error)) {
            report.problems.push_back("the good cards could not be written back: " + error);
        }
    }
    return report;
}

const SipContact* ContactBook::Find(const std::string& handle) const {
    const int index = IndexOf(handle);
    return index < 0 ? nullptr : &contacts_[static_cast<size_t>(index)];
}

int ContactBook::IndexOf(const std::string& handle) const {
    for (size_t i = 0; i < contacts_.size(); ++i) {
        if (contacts_[i].address.Handle() == handle) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

ContactResult ContactBook::Add(SipContact contact) {
    const std::string handle = contact.address.Handle();
    if (IndexOf(handle) >= 0) {
        return Problem(ContactProblem::Duplicate, handle + " is already a contact");
    }
    if (contacts_.size() >= kMaxContacts) {
        return Problem(ContactProblem::TooMany,
                       "more than " + std::to_string(kMaxContacts) + " contacts");
    }
    std::vector<SipContact> changed = contacts_;
    changed.push_back(std::move(contact));
    return Save(std::move(changed));
}

ContactResult ContactBook::Replace(const std::string& handle, SipContact contact) {
    const int index = IndexOf(handle);
    if (index < 0) {
        return Problem(ContactProblem::NotFound, "no contact " + handle);
    }
    const std::string newHandle = contact.address.Handle();
    if (newHandle != handle && IndexOf(newHandle) >= 0) {
        return Problem(ContactProblem::Duplicate, newHandle + " is already a contact");
    }
    std::vector<SipContact> changed = contacts_;
    changed[static_cast<size_t>(index)] = std::move(contact);
    return Save(std::move(changed));
}

ContactResult ContactBook::Remove(const std::string& handle) {
    const int index = IndexOf(handle);
    if (index < 0) {
        return Problem(ContactProblem::NotFound, "no contact " + handle);
    }
    std::vector<SipContact> changed = contacts_;
    changed.erase(changed.begin() + index);
    return Save(std::move(changed));
}

ContactBook::ImportReport ContactBook::Import(const std::filesystem::path& from) {
    ImportReport report;
    const ContactFileText read = ReadContactFile(from);
    if (!read.error.empty()) {
        report.result = Problem(ContactProblem::ImportFailed, read.error);
        return report;
    }
    report.skipped = read.skipped.size();
    std::vector<SipContact> changed = contacts_;
    for (const SipContact& contact : read.contacts) {
        const std::string handle = contact.address.Handle();
        const bool known = std::any_of(changed.begin(), changed.end(), [&](const SipContact& c) {
            return c.address.Handle() == handle;
        });
        if (known) {
            ++report.known;
        } else if (changed.size() >= kMaxContacts) {
            ++report.skipped;
        } else {
            changed.push_back(contact);
            ++report.added;
        }
    }
    if (report.added > 0) {
        report.result = Save(std::move(changed));
        if (!report.result.ok()) {
            report.added = 0;
        }
    }
    return report;
}

ContactResult ContactBook::Export(const std::filesystem::path& to) const {
    std::string error;
    if (!WriteContactFile(to, contacts_, error)) {
        return Problem(ContactProblem::SaveFailed, error);
    }
    return {};
}

ContactResult ContactBook::Save(std::vector<SipContact> contacts) {
    if (!readable_) {
        return Problem(ContactProblem::NotReadable,
                       file_.string() + " could not be read, so it is not replaced");
    }
    ContactResult result;
    if (hadSkipped_) {
        result.keptAside = LinkAside(file_);
        if (result.keptAside.empty()) {
            return Problem(ContactProblem::SaveFailed,
                           file_.string() +
                               " holds cards without a SIP address and could not "
                               "be kept aside: " +
                               std::strerror(errno));
        }
    }
    std::string error;
    if (!WriteContactFile(file_, contacts, error)) {
        if (!result.keptAside.empty()) {
            std::error_code ignored;
            std::filesystem::remove(result.keptAside, ignored);
        }
        return Problem(ContactProblem::SaveFailed, error);
    }
    hadSkipped_ = false;
    contacts_ = std::move(contacts);
    return result;
}

}  // namespace velto::skype::sip
