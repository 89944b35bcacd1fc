#pragma once

#include "i18n/LanguageChooser.h"

namespace velto::headless {

// Answers the language question without asking anyone: English (index 3) unless told
// otherwise. Counts how often it was asked.
class FixedLanguageChooser final : public i18n::LanguageChooser {
  public:
    static constexpr int32_t kEnglish = 3;
    explicit FixedLanguageChooser(int32_t answer = kEnglish) : answer_(answer) {}
    int32_t ChooseLanguage() override {
        ++asked_;
        return answer_;
    }
    int asked() const { return asked_; }

  private:
    int32_t answer_;
    int asked_ = 0;
};

}  // namespace velto::headless
