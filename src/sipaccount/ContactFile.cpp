#include "sipaccount/ContactFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/AtomicFile.h"

namespace velto::skype::sip {
namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

// Undoes the vCard text escapes (\\, \, \; \n); other backslashes stay as they are.
std::string Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 'N') {
                out += ' ';  // a name on one line
                ++i;
                continue;
            }
            if (next == '\\' || next == ',' || next == ';') {
                out += next;
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

// Names longer than any address book shows are cut (at a character boundary), so that a
// saved file always reads back within the line limit.
std::string Cut(std::string text, size_t limit = kMaxContactFieldBytes) {
    if (text.size() <= limit) {
        return text;
    }
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text;
}

std::string Escape(std::string_view value) {
    std::string out;
    for (char c : value) {
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
        }
        if (c == '\r' || c == '\n') {
            out += ' ';
            continue;
        }
        out += c;
    }
    return out;
}

// The unfolded logical lines, each with the number of its first physical line.
struct Line {
    size_t number;
    std::string text;
};

bool Unfold(std::string_view text, std::vector<Line>& lines, std::string& error) {
    size_t number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view physical = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!physical.empty() && physical.back() == '\r') {
            physical.remove_suffix(1);
        }
        if (physical.find('\0') != std::string_view::npos) {
            error = "line " + std::to_string(number) + ": a NUL byte";
            return false;
        }
        if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
            if (lines.empty()) {
                error = "line " + std::to_string(number) + ": a continuation with no line before";
                return false;
            }
            lines.back().text.append(physical.substr(1));
        } else if (!physical.empty()) {
            lines.push_back(Line{number, std::string(physical)});
        }
        if (!lines.empty() && lines.back().text.size() > kMaxContactLineBytes) {
            error = "line " + std::to_string(lines.back().number) + ": longer than " +
                    std::to_string(kMaxContactLineBytes) + " bytes";
            return false;
        }
    }
    return true;
}

// A content line's property name in upper case, without its group ("item1.IMPP") and
// parameters.
std::string PropertyName(const std::string& text) {
    std::string name = Upper(text.substr(0, text.find_first_of(";:")));
    if (const size_t dot = name.find('.'); dot != std::string::npos) {
        name = name.substr(dot + 1);
    }
    return name;
}

// The first of NICKNAME's comma-separated list.
std::string FirstNickname(std::string_view value) {
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            ++i;
        } else if (value[i] == ',') {
            return Unescape(value.substr(0, i));
        }
    }
    return Unescape(value);
}

// CATEGORIES' comma-separated list (a comma escaped with a backslash belongs to a name),
// added to `groups` without repeats, at most kMaxContactGroups of them.
void AddCategories(std::string_view value, std::vector<std::string>& groups) {
    size_t start = 0;
    for (size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '\\') {
            ++i;
            continue;
        }
        if (i < value.size() && value[i] != ',') {
            continue;
        }
        std::string name = Cut(Unescape(value.substr(start, i - start)), kMaxGroupNameBytes);
        start = i + 1;
        if (!name.empty() && groups.size() < kMaxContactGroups &&
            std::find(groups.begin(), groups.end(), name) == groups.end()) {
            groups.push_back(std::move(name));
        }
    }
}

// Reads a file's content lines in order, card by card, into `result`. Each step answers
// what is wrong with its line, or nothing.
class CardReader {
  public:
    explicit CardReader(ContactFileText& result) : result_(result) {}

    std::optional<std::string> Take(const Line& line) {
        const size_t colon = line.text.find(':');
        if (colon == std::string::npos) {
            return "no ':' between name and value";
        }
        const std::string name = PropertyName(line.text);
        const std::string_view value = std::string_view(line.text).substr(colon + 1);
        if (name == "BEGIN") {
            return Begin(line.number, value);
        }
        if (!inCard_) {
            return "\"" + name + "\" outside BEGIN:VCARD ... END:VCARD";
        }
        if (name == "END") {
            return End(value);
        }
        if (name == "FN" && card_.fullName.empty()) {
            card_.fullName = Cut(Unescape(value));
        } else if (name == "NICKNAME" && card_.nickname.empty()) {
            card_.nickname = Cut(FirstNickname(value));
        } else if (name == "CATEGORIES") {
            AddCategories(value, card_.groups);
        } else if (name == "IMPP" && !hasAddress_) {
            return Impp(Unescape(value));
        }
        return std::nullopt;
    }

    // The line of a card still open at the end, or 0.
    size_t OpenCard() const { return inCard_ ? cardLine_ : 0; }

  private:
    std::optional<std::string> Begin(size_t number, std::string_view value) {
        if (Upper(value) != "VCARD") {
            return "BEGIN of something other than VCARD";
        }
        if (inCard_) {
            return "BEGIN:VCARD inside the card of line " + std::to_string(cardLine_);
        }
        inCard_ = true;
        cardLine_ = number;
        card_ = SipContact{};
        hasAddress_ = false;
        firstImpp_.clear();
        return std::nullopt;
    }

    std::optional<std::string> End(std::string_view value) {
        if (Upper(value) != "VCARD") {
            return "END of something other than VCARD";
        }
        inCard_ = false;
        if (!hasAddress_) {
            result_.skipped.push_back(
                "line " + std::to_string(cardLine_) + ": \"" +
                (card_.fullName.empty() ? std::string("(no name)") : card_.fullName) + "\"" +
                (firstImpp_.empty() ? " has no SIP address" : ": " + firstImpp_));
            return std::nullopt;
        }
        if (result_.contacts.size() >= kMaxContacts) {
            return "more than " + std::to_string(kMaxContacts) + " contacts";
        }
        result_.contacts.push_back(card_);
        return std::nullopt;
    }

    std::optional<std::string> Impp(const std::string& uri) {
        // sips: too: the writer saves a secure address so, and it must read back.
        const std::string scheme = Upper(uri.substr(0, uri.find(':') + 1));
        if (scheme != "SIP:" && scheme != "SIPS:") {
            if (firstImpp_.empty()) {
                firstImpp_ = "IMPP \"" + uri.substr(0, 64) + "\" is not a sip: address";
            }
            return std::nullopt;
        }
        std::string error;
        auto address = ParseSipAddress(uri, error);
        if (!address) {
            return "IMPP \"" + uri + "\": " + error;
        }
        if (address->user.empty()) {
            return "IMPP \"" + uri + "\": no user before '@'";
        }
        card_.address = *address;
        hasAddress_ = true;
        return std::nullopt;
    }

    ContactFileText& result_;
    bool inCard_ = false;
    size_t cardLine_ = 0;
    SipContact card_;
    bool hasAddress_ = false;
    std::string firstImpp_;  // why the card's first IMPP was no SIP address
};

}  // namespace

ContactFileText ParseContactFile(std::string_view text) {
    ContactFileText result;
    if (text.size() > kMaxContactFileBytes) {
        result.error = "larger than " + std::to_string(kMaxContactFileBytes) + " bytes";
        result.damaged = true;
        return result;
    }
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<Line> lines;
    if (!Unfold(text, lines, result.error)) {
        result.damaged = true;
        return result;
    }
    const auto fail = [&](size_t number, const std::string& what) {
        result.beforeDamage = std::move(result.contacts);
        result.contacts.clear();
        result.damaged = true;
        result.error = "line " + std::to_string(number) + ": " + what;
        return result;
    };
    CardReader reader(result);
    for (const Line& line : lines) {
        if (const auto error = reader.Take(line)) {
            return fail(line.number, *error);
        }
    }
    if (const size_t open = reader.OpenCard(); open != 0) {
        return fail(open, "BEGIN:VCARD without END:VCARD");
    }
    return result;
}

std::string FormatContactFile(const std::vector<SipContact>& contacts) {
    std::string text;
    for (const SipContact& contact : contacts) {
        text += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
        text +=
            "FN:" + Escape(contact.fullName.empty() ? contact.address.Handle() : contact.fullName) +
            "\r\n";
        if (!contact.nickname.empty()) {
            text += "NICKNAME:" + Escape(contact.nickname) + "\r\n";
        }
        if (!contact.groups.empty()) {
            std::string list;
            for (const std::string& group : contact.groups) {
                list += (list.empty() ? "" : ",") + Escape(group);
            }
            text += "CATEGORIES:" + list + "\r\n";
        }
        text += "IMPP:" + contact.address.Uri() + "\r\n";
        text += "END:VCARD\r\n";
    }
    return text;
}

std::filesystem::path ContactFilePath(const std::filesystem::path& configHome) {
    return configHome / "Velto" / "contacts.vcf";
}

ContactFileText ReadContactFile(const std::filesystem::path& path) {
    ContactFileText result;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return result;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxContactFileBytes) {
        result.error = path.string() + ": " +
                       (error ? error.message()
                              : "larger than " + std::to_string(kMaxContactFileBytes) + " bytes");
        result.damaged = !error;
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = path.string() + ": cannot be read: " + std::strerror(errno);
        return result;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    result = ParseContactFile(bytes.str());
    if (!result.error.empty()) {
        result.error = path.string() + ": " + result.error;
    }
    return result;
}

bool WriteContactFile(const std::filesystem::path& path, const std::vector<SipContact>& contacts,
                      std::string& error) {
    const int code = platform::WriteFileAtomically(path, FormatContactFile(contacts), 0600);
    if (code != 0) {
        error = path.string() + ": cannot be saved: " + std::strerror(code);
        return false;
    }
    return true;
}

}  // namespace velto::skype::sip
