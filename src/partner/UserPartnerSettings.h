#pragma once

#include "core/SettingFileStore.h"
#include "core/UserSettings.h"
#include "partner/PartnerServices.h"

namespace velto::partner {

// The partner service's view of the signed-in user's settings: UTF-8 here, UTF-16 in the
// settings tables.
class UserPartnerSettings final : public PartnerSettings {
  public:
    UserPartnerSettings(core::UserSettings& settings, core::SettingFileStore& store)
        : settings_(settings), store_(store) {}

    std::string ChosenPartnerKey() const override;
    // Key and setting change together under the settings lock, so a call handler never
    // sees the new key with the old setting; the choice is saved at once.
    void ChoosePartnerTone(const std::string& key) override;
    void LeavePartnerTone(const std::string& chosenKey) override;
    std::optional<int32_t> FindCatalogueTone(const std::string& title,
                                             const std::string& path) const override;
    std::optional<int32_t> AddCatalogueTone(const std::string& title,
                                            const std::string& path) override;

  private:
    core::UserSettings& settings_;
    core::SettingFileStore& store_;
};

}  // namespace velto::partner
