// The configured answer of headless runs comes from outside: any text must parse to a
// language 0..14 or to nothing, and the chooser must then answer a language.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "i18n/ConfiguredLanguageChooser.h"
#include "i18n/Languages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velto::i18n;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<int32_t> answer = ConfiguredLanguageChooser::Parse(text);
    if (answer && !IsLanguage(*answer)) {
        std::abort();
    }
    if (!IsLanguage(ConfiguredLanguageChooser(answer).ChooseLanguage())) {
        std::abort();
    }
    return 0;
}
