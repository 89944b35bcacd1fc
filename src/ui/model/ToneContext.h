#pragma once

#include <functional>
#include <vector>

#include "core/SettingFileStore.h"
#include "core/UserSettings.h"
#include "partner/PartnerTone.h"

namespace velto::ui {

// What the tone choices of the dialogs read and change.
struct ToneContext {
    core::UserSettings& settings;
    core::SettingFileStore& settingFile;
    // The partner service's tones as they stand now (empty without the service).
    std::function<std::vector<partner::PartnerTone>()> partnerTones;

    std::vector<partner::PartnerTone> PartnerTones() const {
        return partnerTones ? partnerTones() : std::vector<partner::PartnerTone>{};
    }
};

}  // namespace velto::ui
