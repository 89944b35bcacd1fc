#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "core/SettingFileContents.h"

namespace velto::core {

// A ring-back tone of the catalogue as the user sees it.
struct CatalogueTone {
    std::u16string title;
    std::u16string path;
    bool operator==(const CatalogueTone&) const = default;
};

// The mode of a contact who hears the standard tone.
constexpr int32_t kStandardToneMode = 2;

// The id of the installation's default tone, always in the catalogue.
constexpr int32_t kDefaultToneId = -1;

// The signed-in Skype user's choices: flags, the tone catalogue, the converted-file table
// and the per-contact ring-back map. The user interface and the partner downloader change
// them while call handlers read them, so one lock guards all of them; every call holds it
// for one look-up or change and hands out copies, never references into the tables.
class UserSettings {
  public:
    // `installDirPath` gives the default tone's file ("<dir>/default.wav").
    explicit UserSettings(const std::string& installDirPath = {});

    // Everything back to the defaults: the catalogue then holds only the default tone.
    void ResetToDefaults(const std::string& installDirPath);

    // Takes over a file's contents on top of the defaults. Entries whose key is already
    // present (the default tone, or a key repeated in the file) keep the present value.
    void LoadFrom(const SettingFileContents& contents, const std::string& installDirPath);

    // A consistent copy of everything, in file order (maps ascending), for saving.
    // `language` fills the language field, which lives in the shared state.
    SettingFileContents Snapshot(int32_t language) const;

    bool VoiceMailOn() const;
    void SetVoiceMailOn(bool on);
    bool UseDefaultGreeting() const;
    void SetUseDefaultGreeting(bool on);
    std::string GreetingSource() const;
    void SetGreetingSource(std::string source);
    // How the answering machine ends a message (silence, least voice, longest message).
    core::VoiceMailLimits VoiceMailLimits() const;
    void SetVoiceMailLimits(core::VoiceMailLimits limits);
    bool UseDefaultRingTone() const;
    void SetUseDefaultRingTone(bool on);
    std::string RingToneSource() const;
    void SetRingToneSource(std::string source);
    // 0 default tone, 1 the user's own standard tone, 2 a partner-service tone.
    int32_t StandardTone() const;
    void SetStandardTone(int32_t setting);
    std::u16string OwnToneTitle() const;
    void SetOwnToneTitle(std::u16string title);
    std::u16string OwnToneSource() const;
    void SetOwnToneSource(std::u16string source);
    std::u16string PartnerToneKey() const;
    void SetPartnerToneKey(std::u16string key);
    // The partner tone `key` becomes the standard tone: key and setting 2 in one change.
    void ChoosePartnerTone(std::u16string key);
    // While the partner tone `key` is the standard tone (setting 2), the standard tone
    // becomes the user's own (1) when it has a source, else the default (0).
    void LeavePartnerTone(const std::u16string& key);

    // Tone catalogue.
    std::optional<CatalogueTone> FindTone(int32_t id) const;
    std::map<int32_t, CatalogueTone> Catalogue() const;
    // Inserts under the largest id + 1 (0 when the catalogue is empty) and returns the id;
    // nothing when the largest id is already the largest 32-bit value.
    std::optional<int32_t> InsertTone(CatalogueTone tone);
    // Removes the tone and the converted-file entries that point at it; returns the
    // removed tone, or nothing when the id is unknown.
    std::optional<CatalogueTone> EraseTone(int32_t id);

    // Converted-file table.
    std::optional<int32_t> FindConverted(const std::string& source) const;
    std::map<std::string, int32_t> ConvertedFiles() const;
    void SetConverted(const std::string& source, int32_t id);
    void EraseConverted(const std::string& source);

    // Per-contact ring-back map.
    std::optional<RingBackChoice> FindRingBack(const std::string& handle) const;
    std::map<std::string, RingBackChoice> RingBacks() const;
    void SetRingBack(const std::string& handle, RingBackChoice choice);
    // The contact's entry; a contact without one gets the standard tone entered (mode 2,
    // no own or partner tone: both ids name the default tone).
    RingBackChoice FindOrAddRingBack(const std::string& handle);
    // Changes the contact's entry (starting from the standard tone when there is none) in
    // one step under the lock, so that a change made elsewhere meanwhile is not lost.
    // Returns the entry as it was before.
    RingBackChoice UpdateRingBack(const std::string& handle,
                                  const std::function<void(RingBackChoice&)>& change);
    void EraseRingBack(const std::string& handle);

    // Per-contact greetings; a contact without an entry hears the voice-mail page's.
    GreetingChoice FindGreeting(const std::string& handle) const;
    std::map<std::string, GreetingChoice> Greetings() const;
    // The voice-mail page's greeting (GreetingKind::Standard) removes the contact's entry.
    void SetGreeting(const std::string& handle, GreetingChoice greeting);
    // What a caller hears after the user declined the call; nothing: the call just ends.
    std::optional<GreetingChoice> BusyGreeting() const;
    void SetBusyGreeting(std::optional<GreetingChoice> greeting);

  private:
    void ResetLocked(const std::string& installDirPath);

    mutable std::mutex mutex_;
    bool voiceMailOn_ = true;
    bool useDefaultGreeting_ = true;
    std::string greetingSource_;
    bool useDefaultRingTone_ = true;
    std::string ringToneSource_;
    int32_t standardTone_ = 0;
    std::u16string ownToneTitle_;
    std::u16string ownToneSource_;
    std::u16string partnerToneKey_;
    core::VoiceMailLimits voiceMailLimits_;
    std::map<int32_t, CatalogueTone> catalogue_;
    std::map<std::string, int32_t> converted_;
    std::map<std::string, RingBackChoice> ringBacks_;
    std::optional<GreetingChoice> busyGreeting_;
    std::map<std::string, GreetingChoice> greetings_;
};

// The default tone's path: the installation folder's "default.wav".
std::u16string DefaultTonePath(const std::string& installDirPath);

}  // namespace velto::core
