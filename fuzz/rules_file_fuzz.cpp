// The rules file is outside data (a user may edit it): the decoder must refuse what it does
// not understand without crashing, and whatever it keeps must survive a write and re-read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rules/RulesCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velto::rules;
    const DecodedRules decoded =
        DecodeRules(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!decoded.readable) {
        return 0;
    }
    const std::string text = EncodeRules(decoded.rules);
    const DecodedRules again = DecodeRules(text);
    if (!again.readable || !again.problems.empty() || again.rules.size() != decoded.rules.size() ||
        EncodeRules(again.rules) != text) {
        std::abort();
    }
    return 0;
}
