#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "ui/model/PickedTone.h"
#include "ui/model/ToneContext.h"

namespace velto::ui {

// The ring tone page and the voice mail page: the stock sound or the user's own, which
// becomes "Ringtone.wav" or "AnswerMachine.wav" in the user's folder on OK.
class OwnSoundOptions {
  public:
    enum class Sound { RingTone, Greeting };

    OwnSoundOptions(Sound sound, ToneContext context,
                    std::optional<std::filesystem::path> ownFolder,
                    std::filesystem::path installDir);
    ~OwnSoundOptions();
    OwnSoundOptions(const OwnSoundOptions&) = delete;
    OwnSoundOptions& operator=(const OwnSoundOptions&) = delete;

    bool UseDefault() const;
    void SetUseDefault(bool on);
    // The own sound's title (the name of the file it came from); empty while none.
    std::u16string Title() const;
    // The voice mail page's check box (the ring tone page has none).
    bool VoiceMailOn() const { return context_.settings.VoiceMailOn(); }
    void ToggleVoiceMail();

    // The conversion entered the picked file as catalogue item `itemId`.
    void Picked(int32_t itemId, const std::u16string& sourceName);

    // A recording titled `title` was saved as the own sound's file: it is the sound chosen,
    // in place of any pick. The file is written already, so its title stays on Cancel.
    void Recorded(const std::u16string& title);

    // The stock sound; the greeting's depends on `language`.
    std::filesystem::path DefaultFile(int32_t language) const;
    std::optional<std::filesystem::path> OwnFile() const;

    void Apply();
    void Revert();

  private:
    void SetTitle(const std::u16string& title);

    const Sound sound_;
    ToneContext context_;
    const std::optional<std::filesystem::path> ownFolder_;
    const std::filesystem::path installDir_;
    const bool useDefault_;
    std::u16string title_;  // what Revert restores
    const bool voiceMailOn_;
    PickedTone picked_;
    bool done_ = false;
};

}  // namespace velto::ui
