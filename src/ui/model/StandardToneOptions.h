#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ui/model/PickedTone.h"
#include "ui/model/ToneContext.h"

namespace velto::ui {

// The standard ring-back tone page: which tone every contact in mode 2 hears. A choice
// changes the settings at once; the picked file becomes "StdRbtCustom.wav" only on OK.
class StandardToneOptions {
  public:
    // `ownFolder`: the user's own folder, nothing while unknown.
    StandardToneOptions(ToneContext context, std::optional<std::filesystem::path> ownFolder,
                        std::filesystem::path installDir);
    ~StandardToneOptions();
    StandardToneOptions(const StandardToneOptions&) = delete;
    StandardToneOptions& operator=(const StandardToneOptions&) = delete;

    int32_t Setting() const { return context_.settings.StandardTone(); }
    // The own standard tone's title; empty while none was chosen.
    std::u16string OwnTitle() const { return context_.settings.OwnToneTitle(); }
    // The partner tones for the list, and the index of the chosen one (-1: no list).
    const std::vector<partner::PartnerTone>& PartnerTones() const { return partnerTones_; }
    int PartnerIndex() const { return partnerIndex_; }

    void ChooseDefault();
    void ChooseOwn();  // only with an own tone
    void ChoosePartner();
    void SelectPartner(int index);
    // The conversion entered the picked file as catalogue item `itemId`.
    void Picked(int32_t itemId, const std::u16string& sourceName);

    std::filesystem::path DefaultFile() const;
    std::optional<std::filesystem::path> OwnFile() const;
    std::optional<std::filesystem::path> PartnerFile() const;

    void Apply();
    void Revert();

  private:
    ToneContext context_;
    const std::optional<std::filesystem::path> ownFolder_;
    const std::filesystem::path installDir_;
    const int32_t setting_;
    const std::u16string title_;
    const std::u16string source_;
    const std::u16string partnerKey_;
    std::vector<partner::PartnerTone> partnerTones_;
    int partnerIndex_ = -1;
    PickedTone picked_;
    bool done_ = false;
};

}  // namespace velto::ui
