#pragma once

#include <cstdint>

namespace velto::i18n {

// Asks the user for a language when none is stored yet (first start). The GUI shows the
// selection dialog; headless runs answer from their configuration.
class LanguageChooser {
  public:
    virtual ~LanguageChooser() = default;
    // Returns a language index 0..14.
    virtual int32_t ChooseLanguage() = 0;
};

}  // namespace velto::i18n
