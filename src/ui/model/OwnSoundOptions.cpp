#include "ui/model/OwnSoundOptions.h"

#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {
namespace {

std::u16string TitleOf(OwnSoundOptions::Sound sound, const core::UserSettings& settings) {
    return platform::Utf8ToUtf16(sound == OwnSoundOptions::Sound::RingTone
                                     ? settings.RingToneSource()
                                     : settings.GreetingSource());
}

bool UseDefaultOf(OwnSoundOptions::Sound sound, const core::UserSettings& settings) {
    return sound == OwnSoundOptions::Sound::RingTone ? settings.UseDefaultRingTone()
                                                     : settings.UseDefaultGreeting();
}

}  // namespace

OwnSoundOptions::OwnSoundOptions(Sound sound, ToneContext context,
                                 std::optional<std::filesystem::path> ownFolder,
                                 std::filesystem::path installDir)
    : sound_(sound),
      context_(std::move(context)),
      ownFolder_(std::move(ownFolder)),
      installDir_(std::move(installDir)),
      useDefault_(UseDefaultOf(sound_, context_.settings)),
      title_(TitleOf(sound_, context_.settings)),
      voiceMailOn_(context_.settings.VoiceMailOn()),
      picked_(context_.settingFile) {}

OwnSoundOptions::~OwnSoundOptions() {
    if (!done_) {
        Revert();
    }
}

bool OwnSoundOptions::UseDefault() const {
    return UseDefaultOf(sound_, context_.settings);
}

void OwnSoundOptions::SetUseDefault(bool on) {
    if (sound_ == Sound::RingTone) {
        context_.settings.SetUseDefaultRingTone(on);
        platform::Trace("UseDefaultRingtone: %d\n", on ? 1 : 0);
    } else {
        context_.settings.SetUseDefaultGreeting(on);
        platform::Trace("UseDefaultAM: %d\n", on ? 1 : 0);
    }
}

std::u16string OwnSoundOptions::Title() const {
    return TitleOf(sound_, context_.settings);
}

void OwnSoundOptions::SetTitle(const std::u16string& title) {
    if (sound_ == Sound::RingTone) {
        context_.settings.SetRingToneSource(platform::Utf16ToUtf8(title));
    } else {
        context_.settings.SetGreetingSource(platform::Utf16ToUtf8(title));
    }
}

void OwnSoundOptions::ToggleVoiceMail() {
    context_.settings.SetVoiceMailOn(!context_.settings.VoiceMailOn());
}

void OwnSoundOptions::Picked(int32_t itemId, const std::u16string& sourceName) {
    picked_.Replace(itemId);
    SetTitle(sourceName);
    if (sound_ == Sound::RingTone) {
        context_.settings.SetUseDefaultRingTone(false);
    } else {
        context_.settings.SetUseDefaultGreeting(false);
    }
}

void OwnSoundOptions::Recorded(const std::u16string& title) {
    picked_.Discard();
    title_ = title;
    SetTitle(title);
    SetUseDefault(false);
}

std::filesystem::path OwnSoundOptions::DefaultFile(int32_t language) const {
    return FileIn(installDir_,
                  sound_ == Sound::RingTone ? kDefaultRingToneFile : DefaultGreetingFile(language));
}

std::optional<std::filesystem::path> OwnSoundOptions::OwnFile() const {
    if (auto path = picked_.Path(context_.settings)) {
        return path;
    }
    if (!ownFolder_) {
        return std::nullopt;
    }
    return FileIn(*ownFolder_, sound_ == Sound::RingTone ? kOwnRingToneFile : kOwnGreetingFile);
}

void OwnSoundOptions::Apply() {
    done_ = true;
    if (const auto path = picked_.Path(context_.settings)) {
        const char* target = sound_ == Sound::RingTone ? kOwnRingToneFile : kOwnGreetingFile;
        if (ownFolder_) {
            CopyToneOver(*path, FileIn(*ownFolder_, target));
        } else {
            platform::Trace("No user folder: %s not made\n", target);
        }
    }
    picked_.Discard();
}

void OwnSoundOptions::Revert() {
    done_ = true;
    if (sound_ == Sound::RingTone) {
        context_.settings.SetUseDefaultRingTone(useDefault_);
    } else {
        context_.settings.SetUseDefaultGreeting(useDefault_);
        context_.settings.SetVoiceMailOn(voiceMailOn_);
    }
    SetTitle(title_);
    picked_.Discard();
}

}  // namespace velto::ui
