#pragma once

#include "core/UserSettings.h"

namespace velto::ui {

// The voice mail page's limits in the units the page shows (seconds of silence, seconds
// of voice, minutes of message). A change goes into the settings at once; Revert puts back
// what they held when the page opened.
class VoiceMailLimitsChoice {
  public:
    struct Range {
        int low;
        int high;
    };
    static constexpr Range kSilenceSeconds{1, 60};
    static constexpr Range kVoiceSeconds{0, 10};
    static constexpr Range kLengthMinutes{1, 60};

    explicit VoiceMailLimitsChoice(core::UserSettings& settings);

    int SilenceSeconds() const;
    int VoiceSeconds() const;
    int LengthMinutes() const;
    // Values outside the ranges are brought to their nearest end.
    void SetSilenceSeconds(int seconds);
    void SetVoiceSeconds(int seconds);
    void SetLengthMinutes(int minutes);

    void Revert();

  private:
    core::UserSettings& settings_;
    const core::VoiceMailLimits opened_;
};

}  // namespace velto::ui
