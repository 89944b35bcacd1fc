#include "sipaccount/ContactFile.h"

#include <cctype>
#include <cstring>
#include <fstream>
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
std::string Cut(std::string text) {
    if (text.size() <= kMaxContactFieldBytes) {
        return text;
    }
    size_t end = kMaxContactFieldBytes;
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

}  // namespace

ContactFileText ParseContactFile(std::string_view text) {
    ContactFileText result;
    if (text.size() > kMaxContactFileBytes) {
        result.error = "larger than " + std::to_string(kMaxContactFileBytes) + " bytes";
        return result;
    }
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<Line> lines;
    if (!Unfold(text, lines, result.error)) {
        return result;
    }
    bool inCard = false;
    size_t cardLine = 0;
    SipContact card;
    bool hasAddress = false;
    std::string firstImpp;
    const auto fail = [&](size_t number, const std::string& what) {
        result.contacts.clear();
        result.error = "line " + std::to_string(number) + ": " + what;
        return result;
    };
    for (const Line& line : lines) {
        const size_t colon = line.text.find(':');
        if (colon == std::string::npos) {
            return fail(line.number, "no ':' between name and value");
        }
        std::string name = Upper(line.text.substr(0, line.text.find_first_of(";:")));
        if (const size_t dot = name.find('.'); dot != std::string::npos) {
            name = name.substr(dot + 1);  // a property group ("item1.IMPP")
        }
        const std::string_view value = std::string_view(line.text).substr(colon + 1);
        if (name == "BEGIN") {
            if (Upper(value) != "VCARD") {
                return fail(line.number, "BEGIN of something other than VCARD");
            }
            if (inCard) {
                return fail(line.number,
                            "BEGIN:VCARD inside the card of line " + std::to_string(cardLine));
            }
            inCard = true;
            cardLine = line.number;
            card = SipContact{};
            hasAddress = false;
            firstImpp.clear();
            continue;
        }
        if (!inCard) {
            return fail(line.number, "\"" + name + "\" outside BEGIN:VCARD ... END:VCARD");
        }
        if (name == "END") {
            if (Upper(value) != "VCARD") {
                return fail(line.number, "END of something other than VCARD");
            }
            inCard = false;
            if (hasAddress) {
                if (result.contacts.size() >= kMaxContacts) {
                    return fail(line.number,
                                "more than " + std::to_string(kMaxContacts) + " contacts");
                }
                result.contacts.push_back(card);
            } else {
                result.skipped.push_back(
                    "line " + std::to_string(cardLine) + ": \"" +
                    (card.fullName.empty() ? std::string("(no name)") : card.fullName) + "\"" +
                    (firstImpp.empty() ? " has no SIP address" : ": " + firstImpp));
            }
        } else if (name == "FN" && card.fullName.empty()) {
            card.fullName = Cut(Unescape(value));
        } else if (name == "NICKNAME" && card.nickname.empty()) {
            // The first of a comma-separated list.
            std::string all = Unescape(value);
            const std::string raw(value);
            size_t comma = std::string::npos;
            for (size_t i = 0; i < raw.size(); ++i) {
                if (raw[i] == '\\') {
                    ++i;
                } else if (raw[i] == ',') {
                    comma = i;
                    break;
                }
            }
            card.nickname = Cut(comma == std::string::npos ? all : Unescape(raw.substr(0, comma)));
        } else if (name == "IMPP" && !hasAddress) {
            std::string error;
            const std::string uri = Unescape(value);
            if (uri.size() >= 4 && Upper(uri.substr(0, 4)) == "SIP:") {
                auto address = ParseSipAddress(uri, error);
                if (!address) {
                    return fail(line.number, "IMPP \"" + uri + "\": " + error);
                }
                if (address->user.empty()) {
                    return fail(line.number, "IMPP \"" + uri + "\": no user before '@'");
                }
                card.address = *address;
                hasAddress = true;
            } else if (firstImpp.empty()) {
                firstImpp = "IMPP \"" + uri.substr(0, 64) + "\" is not a sip: address";
            }
        }
    }
    if (inCard) {
        return fail(cardLine, "BEGIN:VCARD without END:VCARD");
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
