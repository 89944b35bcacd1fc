#pragma once

#include <string>
#include <string_view>

namespace velto::platform {

// Narrow strings are UTF-8 (the system code page here); wide strings are UTF-16, as the
// setting file stores them. Invalid input becomes U+FFFD, never an error.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// ASCII-only case folding, as file names and registry names are compared.
std::string AsciiLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace velto::platform
