#pragma once

#include <cctype>
#include <string_view>

namespace velto::skype::sip {

// The text without the blanks (spaces, tabs, line ends) around it, as users paste addresses
// and address books write vCard lines.
inline std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace velto::skype::sip
