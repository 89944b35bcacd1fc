#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "calls/CallServices.h"
#include "core/SettingFileContents.h"
#include "core/UserSettings.h"

namespace velto::calls {

// Per-contact ring-back modes.
inline constexpr int32_t kModeAd = 1;
inline constexpr int32_t kModeStandard = 2;
inline constexpr int32_t kModeFirstItem = 3;
inline constexpr int32_t kModeSecondItem = 4;

// What the user interface shows for mode 1 (never translated).
inline constexpr char16_t kAdLabel[] = u"AD(no translation)";

// Where the stock sounds and the user's own sounds are.
struct ToneFolders {
    std::string installDir;
    std::optional<std::filesystem::path> ownFolder;
};

// The tone's description in the caller's chat message; nothing when the message carries
// none at all (mode 2 with the default tone). An item the catalogue does not hold has an
// empty label.
std::optional<std::u16string> ToneLabel(const core::RingBackChoice& choice,
                                        const core::UserSettings& settings,
                                        const CallServices& services);

// The friend-message text with every "%s" replaced by the user's name and every "%n" by
// " (label)" (or nothing without a label), in one pass: replaced text is not scanned again.
std::u16string ToneInfoMessage(std::u16string_view text, std::u16string_view userName,
                               const std::optional<std::u16string>& label);

// The standard tone's file by the standard-tone setting. A partner tone that is gone
// moves the setting (in memory) to the user's own standard tone when one was picked, else
// to the default tone.
std::string StandardTonePath(core::UserSettings& settings, const ToneFolders& folders,
                             const CallServices& services);

// The file a caller hears: with the per-contact flag, the item that mode 3 or 4 names when
// the catalogue holds it; otherwise the standard tone.
std::string RingBackTonePath(bool perContact, const core::RingBackChoice& choice,
                             core::UserSettings& settings, const ToneFolders& folders,
                             const CallServices& services);

}  // namespace velto::calls
