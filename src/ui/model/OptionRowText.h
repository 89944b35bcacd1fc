#pragma once

#include <cstdint>
#include <string>

#include "ui/model/ToneContext.h"

namespace velto::ui {

// What the option row under a selected contact shows: the tone the contact hears, as a
// link, and a tooltip that names the standard tone when that is the one.
struct OptionRowText {
    std::u16string link;
    std::u16string tooltip;
};

// The standard tone's name by the standard-tone setting: 0 the system default, 1 the own
// standard tone's title, 2 the chosen partner tone's title.
std::u16string StandardToneName(const ToneContext& context, int32_t language);

// Looks the contact's entry up (a contact without one gets the standard tone entered).
OptionRowText MakeOptionRowText(const ToneContext& context, const std::string& handle,
                                int32_t language);

}  // namespace velto::ui
