#include "calls/RingBackTone.h"

#include "platform/FileLookup.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls {
namespace {

std::optional<PartnerToneFile> FindPartnerTone(const core::UserSettings& settings,
                                               const CallServices& services) {
    if (!services.findPartnerTone) {
        return std::nullopt;
    }
    return services.findPartnerTone(platform::Utf16ToUtf8(settings.PartnerToneKey()));
}

std::optional<int32_t> ItemOf(const core::RingBackChoice& choice) {
    if (choice.mode == kModeFirstItem) {
        return choice.firstId;
    }
    if (choice.mode == kModeSecondItem) {
        return choice.secondId;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::u16string> ToneLabel(const core::RingBackChoice& choice,
                                        const core::UserSettings& settings,
                                        const CallServices& services) {
    switch (choice.mode) {
        case kModeAd:
            return std::u16string(kAdLabel);
        case kModeStandard:
            switch (settings.StandardTone()) {
                case 0:
                    return std::nullopt;
                case 1:
                    return settings.OwnToneTitle();
                case 2: {
                    const auto tone = FindPartnerTone(settings, services);
                    return tone ? platform::Utf8ToUtf16(tone->title) : std::u16string();
                }
                default:
                    return std::u16string();
            }
        case kModeFirstItem:
        case kModeSecondItem: {
            const auto tone = settings.FindTone(*ItemOf(choice));
            return tone ? tone->title : std::u16string();
        }
        default:
            return std::u16string();
    }
}

std::u16string ToneInfoMessage(std::u16string_view text, std::u16string_view userName,
                               const std::optional<std::u16string>& label) {
    const std::u16string suffix = label ? u" (" + *label + u")" : std::u16string();
    std::u16string message;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() &&
            (text[i + 1] == u's' || text[i + 1] == u'n')) {
            message += text[i + 1] == u's' ? std::u16string(userName) : suffix;
            ++i;
        } else {
            message += text[i];
        }
    }
    return message;
}

std::string StandardTonePath(core::UserSettings& settings, const ToneFolders& folders,
                             const CallServices& services) {
    int32_t setting = settings.StandardTone();
    if (setting == 2) {
        if (const auto tone = FindPartnerTone(settings, services)) {
            return tone->path;
        }
        setting = settings.OwnToneSource().empty() ? 0 : 1;
        platform::Trace("Partner tone %s is gone, standard tone setting becomes %d\n",
                        platform::Utf16ToUtf8(settings.PartnerToneKey()).c_str(), setting);
        settings.SetStandardTone(setting);
    }
    if (setting == 1 && folders.ownFolder) {
        return platform::ResolveNoCase(*folders.ownFolder, "StdRbtCustom.wav").string();
    }
    return platform::ResolveNoCase(folders.installDir, "default.wav").string();
}

std::string RingBackTonePath(bool perContact, const core::RingBackChoice& choice,
                             core::UserSettings& settings, const ToneFolders& folders,
                             const CallServices& services) {
    if (perContact) {
        const auto item = ItemOf(choice);
        if (item && *item != -1) {
            if (const auto tone = settings.FindTone(*item)) {
                return platform::Utf16ToUtf8(tone->path);
            }
            platform::Trace("Tone item %d is not in the catalogue, standard tone used\n", *item);
        }
    }
    return StandardTonePath(settings, folders, services);
}

}  // namespace velto::calls
