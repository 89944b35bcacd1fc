#pragma once

#include <cstdint>
#include <string>

#include "calls/MissedCall.h"
#include "ui/model/ContactOrder.h"

namespace velto::ui {

// What the desktop is told about one missed call: a title that says whether a voice
// message was left, the caller's name, and whether "Play" is offered.
struct MissedCallNotice {
    calls::MissedCall record;
    std::u16string title;
    // The caller as the missed-call list shows them; plain text (not markup).
    std::u16string caller;
    bool canPlay = false;
    // The language of the texts (the buttons' too).
    int32_t language = 0;
};

// The caller's name is the contact's shown name when `contacts` holds the handle, else the
// handle, else (no caller id) "Unknown caller"; at most kMaxCallerLength code units, so a
// caller cannot fill the desktop with a name.
MissedCallNotice MakeMissedCallNotice(const calls::MissedCall& record, const ContactList& contacts,
                                      int32_t language);

inline constexpr size_t kMaxCallerLength = 120;

// `text` with &, < and > written as entities, for a notification body (servers read it as
// markup, and a caller's name is the caller's to choose).
std::u16string EscapeNotificationMarkup(std::u16string_view text);

}  // namespace velto::ui
