#include "core/UserSettings.h"

#include <limits>

#include "platform/Text.h"

namespace velto::core {

std::u16string DefaultTonePath(const std::string& installDirPath) {
    return platform::Utf8ToUtf16(installDirPath + "/default.wav");
}

UserSettings::UserSettings(const std::string& installDirPath) {
    ResetLocked(installDirPath);
}

void UserSettings::ResetLocked(const std::string& installDirPath) {
    voiceMailOn_ = true;
    useDefaultGreeting_ = true;
    greetingSource_.clear();
    useDefaultRingTone_ = true;
    ringToneSource_.clear();
    standardTone_ = 0;
    ownToneTitle_.clear();
    ownToneSource_.clear();
    partnerToneKey_ = u"-1";
    catalogue_.clear();
    catalogue_[kDefaultToneId] = CatalogueTone{u"Default", DefaultTonePath(installDirPath)};
    converted_.clear();
    ringBacks_.clear();
    voiceMailLimits_ = core::VoiceMailLimits{};
    busyGreeting_.reset();
    greetings_.clear();
}

void UserSettings::ResetToDefaults(const std::string& installDirPath) {
    std::lock_guard guard(mutex_);
    ResetLocked(installDirPath);
}

void UserSettings::LoadFrom(const SettingFileContents& c, const std::string& installDirPath) {
    std::lock_guard guard(mutex_);
    // Start from the defaults so that nothing of a previously signed-in user stays.
    ResetLocked(installDirPath);
    voiceMailOn_ = c.voiceMailOn;
    useDefaultGreeting_ = c.useDefaultGreeting;
    greetingSource_ = c.greetingSource;
    useDefaultRingTone_ = c.useDefaultRingTone;
    ringToneSource_ = c.ringToneSource;
    standardTone_ = c.standardTone;
    ownToneTitle_ = c.ownToneTitle;
    ownToneSource_ = c.ownToneSource;
    partnerToneKey_ = c.partnerToneKey;
    voiceMailLimits_ = c.voiceMailLimits.value_or(core::VoiceMailLimits{});
    for (const CatalogueEntry& entry : c.catalogue) {
        catalogue_.try_emplace(entry.id, CatalogueTone{entry.title, entry.path});
    }
    for (const ConvertedEntry& entry : c.converted) {
        converted_.try_emplace(entry.source, entry.id);
    }
    for (const RingBackEntry& entry : c.ringBacks) {
        ringBacks_.try_emplace(entry.handle, entry.choice);
    }
    if (c.greetings) {
        busyGreeting_ = c.greetings->busy;
        for (const ContactGreeting& entry : c.greetings->contacts) {
            if (entry.greeting.kind != GreetingKind::Standard) {
                greetings_.try_emplace(entry.handle, entry.greeting);
            }
        }
    }
}

SettingFileContents UserSettings::Snapshot(int32_t language) const {
    std::lock_guard guard(mutex_);
    SettingFileContents c;
    c.language = language;
    c.voiceMailOn = voiceMailOn_;
    c.useDefaultGreeting = useDefaultGreeting_;
    c.greetingSource = greetingSource_;
    c.useDefaultRingTone = useDefaultRingTone_;
    c.ringToneSource = ringToneSource_;
    c.standardTone = standardTone_;
    c.ownToneTitle = ownToneTitle_;
    c.ownToneSource = ownToneSource_;
    c.partnerToneKey = partnerToneKey_;
    c.catalogue.reserve(catalogue_.size());
    for (const auto& [id, tone] : catalogue_) {
        c.catalogue.push_back(CatalogueEntry{id, tone.path, tone.title});
    }
    c.converted.reserve(converted_.size());
    for (const auto& [source, id] : converted_) {
        c.converted.push_back(ConvertedEntry{source, id});
    }
    c.ringBacks.reserve(ringBacks_.size());
    for (const auto& [handle, choice] : ringBacks_) {
        c.ringBacks.push_back(RingBackEntry{handle, choice});
    }
    // Limits left at their defaults are not written: the file stays as version 1 has it.
    if (voiceMailLimits_ != core::VoiceMailLimits{}) {
        c.voiceMailLimits = voiceMailLimits_;
    }
    // Likewise the greeting table, while every caller hears the voice-mail page's greeting.
    if (busyGreeting_ || !greetings_.empty()) {
        GreetingTable& table = c.greetings.emplace();
        table.busy = busyGreeting_;
        for (const auto& [handle, greeting] : greetings_) {
            table.contacts.push_back(ContactGreeting{handle, greeting});
        }
    }
    return c;
}

#define VELTO_SETTING(Type, Getter, Setter, member) \
    Type UserSettings::Getter() const {             \
        std::lock_guard guard(mutex_);              \
        return member;                              \
    }                                               \
    void UserSettings::Setter(Type value) {         \
        std::lock_guard guard(mutex_);              \
        member = std::move(value);                  \
    }

VELTO_SETTING(bool, VoiceMailOn, SetVoiceMailOn, voiceMailOn_)
VELTO_SETTING(bool, UseDefaultGreeting, SetUseDefaultGreeting, useDefaultGreeting_)
VELTO_SETTING(std::string, GreetingSource, SetGreetingSource, greetingSource_)
VELTO_SETTING(bool, UseDefaultRingTone, SetUseDefaultRingTone, useDefaultRingTone_)
VELTO_SETTING(std::string, RingToneSource, SetRingToneSource, ringToneSource_)
VELTO_SETTING(int32_t, StandardTone, SetStandardTone, standardTone_)
VELTO_SETTING(std::u16string, OwnToneTitle, SetOwnToneTitle, ownToneTitle_)
VELTO_SETTING(std::u16string, OwnToneSource, SetOwnToneSource, ownToneSource_)
VELTO_SETTING(std::u16string, PartnerToneKey, SetPartnerToneKey, partnerToneKey_)
VELTO_SETTING(core::VoiceMailLimits, VoiceMailLimits, SetVoiceMailLimits, voiceMailLimits_)
VELTO_SETTING(std::optional<GreetingChoice>, BusyGreeting, SetBusyGreeting, busyGreeting_)

#undef VELTO_SETTING

void UserSettings::ChoosePartnerTone(std::u16string key) {
    std::lock_guard guard(mutex_);
    partnerToneKey_ = std::move(key);
    standardTone_ = 2;
}

void UserSettings::LeavePartnerTone(const std::u16string& key) {
    std::lock_guard guard(mutex_);
    if (standardTone_ == 2 && partnerToneKey_ == key) {
        standardTone_ = ownToneSource_.empty() ? 0 : 1;
    }
}

std::optional<CatalogueTone> UserSettings::FindTone(int32_t id) const {
    std::lock_guard guard(mutex_);
    const auto it = catalogue_.find(id);
    if (it == catalogue_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::map<int32_t, CatalogueTone> UserSettings::Catalogue() const {
    std::lock_guard guard(mutex_);
    return catalogue_;
}

std::optional<int32_t> UserSettings::InsertTone(CatalogueTone tone) {
    std::lock_guard guard(mutex_);
    int32_t id = 0;
    if (!catalogue_.empty()) {
        const int32_t largest = catalogue_.rbegin()->first;
        if (largest == std::numeric_limits<int32_t>::max()) {
            return std::nullopt;
        }
        id = largest + 1;
    }
    catalogue_.emplace(id, std::move(tone));
    return id;
}

std::optional<CatalogueTone> UserSettings::EraseTone(int32_t id) {
    std::lock_guard guard(mutex_);
    const auto it = catalogue_.find(id);
    if (it == catalogue_.end()) {
        return std::nullopt;
    }
    CatalogueTone removed = std::move(it->second);
    catalogue_.erase(it);
    std::erase_if(converted_, [id](const auto& entry) { return entry.second == id; });
    return removed;
}

std::optional<int32_t> UserSettings::FindConverted(const std::string& source) const {
    std::lock_guard guard(mutex_);
    const auto it = converted_.find(source);
    if (it == converted_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::map<std::string, int32_t> UserSettings::ConvertedFiles() const {
    std::lock_guard guard(mutex_);
    return converted_;
}

void UserSettings::SetConverted(const std::string& source, int32_t id) {
    std::lock_guard guard(mutex_);
    converted_[source] = id;
}

void UserSettings::EraseConverted(const std::string& source) {
    std::lock_guard guard(mutex_);
    converted_.erase(source);
}

std::optional<RingBackChoice> UserSettings::FindRingBack(const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const auto it = ringBacks_.find(handle);
    if (it == ringBacks_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::map<std::string, RingBackChoice> UserSettings::RingBacks() const {
    std::lock_guard guard(mutex_);
    return ringBacks_;
}

void UserSettings::SetRingBack(const std::string& handle, RingBackChoice choice) {
    std::lock_guard guard(mutex_);
    ringBacks_[handle] = choice;
}

RingBackChoice UserSettings::FindOrAddRingBack(const std::string& handle) {
    std::lock_guard guard(mutex_);
    return ringBacks_
        .try_emplace(handle, RingBackChoice{kStandardToneMode, kDefaultToneId, kDefaultToneId})
        .first->second;
}

RingBackChoice UserSettings::UpdateRingBack(const std::string& handle,
                                            const std::function<void(RingBackChoice&)>& change) {
    std::lock_guard guard(mutex_);
    RingBackChoice& entry =
        ringBacks_
            .try_emplace(handle, RingBackChoice{kStandardToneMode, kDefaultToneId, kDefaultToneId})
            .first->second;
    const RingBackChoice before = entry;
    change(entry);
    return before;
}

void UserSettings::EraseRingBack(const std::string& handle) {
    std::lock_guard guard(mutex_);
    ringBacks_.erase(handle);
}

GreetingChoice UserSettings::FindGreeting(const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const auto found = greetings_.find(handle);
    return found == greetings_.end() ? GreetingChoice{} : found->second;
}

std::map<std::string, GreetingChoice> UserSettings::Greetings() const {
    std::lock_guard guard(mutex_);
    return greetings_;
}

void UserSettings::SetGreeting(const std::string& handle, GreetingChoice greeting) {
    std::lock_guard guard(mutex_);
    if (greeting.kind == GreetingKind::Standard) {
        greetings_.erase(handle);
    } else {
        greetings_[handle] = std::move(greeting);
    }
}

}  // namespace velto::core
