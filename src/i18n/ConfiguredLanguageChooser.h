#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "i18n/LanguageChooser.h"

namespace velto::i18n {

// The language chooser of headless runs: answers what its configuration says, as if the
// user had picked that language in the first-run dialog; without a usable answer it takes
// the dialog's preselection (English), as if the user had pressed OK at once.
class ConfiguredLanguageChooser : public LanguageChooser {
  public:
    explicit ConfiguredLanguageChooser(std::optional<int32_t> answer = std::nullopt)
        : answer_(answer) {}

    // Reads a configured answer: a language code ("de") or an index ("2"). Anything else
    // gives nothing.
    static std::optional<int32_t> Parse(std::string_view text);

    int32_t ChooseLanguage() override;

    int calls() const { return calls_; }

  private:
    std::optional<int32_t> answer_;
    int calls_ = 0;
};

}  // namespace velto::i18n
