#include "i18n/ConfiguredLanguageChooser.h"

#include <charconv>

#include "i18n/LanguageSelectionModel.h"
#include "i18n/Languages.h"
#include "platform/Trace.h"

namespace velto::i18n {

std::optional<int32_t> ConfiguredLanguageChooser::Parse(std::string_view text) {
    if (std::optional<int32_t> byCode = LanguageFromCode(text)) {
        return byCode;
    }
    int32_t index = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, index);
    if (text.empty() || error != std::errc() || rest != end || !IsLanguage(index)) {
        return std::nullopt;
    }
    return index;
}

int32_t ConfiguredLanguageChooser::ChooseLanguage() {
    ++calls_;
    LanguageSelectionModel model;
    if (answer_) {
        if (!model.Select(LanguageSelectionModel::PositionOf(*answer_))) {
            platform::Trace("Configured language %d is no language, keeping English\n",
                            static_cast<int>(*answer_));
        }
    }
    return model.ChosenLanguage();
}

}  // namespace velto::i18n
