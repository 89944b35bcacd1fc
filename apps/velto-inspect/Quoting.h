#pragma once

#include <string>
#include <string_view>

namespace velto::inspect {

// Strings as a reader should see them: in double quotes, with quotes, backslashes and
// control characters escaped. Narrow strings that are not UTF-8 show their bytes as \xNN;
// wide strings with a lone surrogate show it as \uXXXX.
std::string QuoteNarrow(std::string_view text);
std::string QuoteWide(std::u16string_view text);

// The same as JSON string literals (always valid UTF-8; bytes that are not UTF-8 become
// U+FFFD, lone surrogates become \uXXXX escapes).
std::string JsonNarrow(std::string_view text);
std::string JsonWide(std::u16string_view text);

}  // namespace velto::inspect
