#include "partner/UserPartnerSettings.h"

#include "platform/Text.h"

namespace velto::partner {

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

std::string UserPartnerSettings::ChosenPartnerKey() const {
    return Utf16ToUtf8(settings_.PartnerToneKey());
}

void UserPartnerSettings::ChoosePartnerTone(const std::string& key) {
    settings_.ChoosePartnerTone(Utf8ToUtf16(key));
    store_.SaveSettingFile();
}

void UserPartnerSettings::LeavePartnerTone(const std::string& chosenKey) {
    settings_.LeavePartnerTone(Utf8ToUtf16(chosenKey));
}

std::optional<int32_t> UserPartnerSettings::FindCatalogueTone(const std::string& title,
                                                              const std::string& path) const {
    const core::CatalogueTone wanted{Utf8ToUtf16(title), Utf8ToUtf16(path)};
    for (const auto& [id, tone] : settings_.Catalogue()) {
        if (tone == wanted) {
            return id;
        }
    }
    return std::nullopt;
}

std::optional<int32_t> UserPartnerSettings::AddCatalogueTone(const std::string& title,
                                                             const std::string& path) {
    return store_.AddCatalogueTone(Utf8ToUtf16(title), Utf8ToUtf16(path));
}

}  // namespace velto::partner
