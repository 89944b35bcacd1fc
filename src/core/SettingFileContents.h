#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velto::core {

// One tone of the catalogue. The file keeps the path before the title.
struct CatalogueEntry {
    int32_t id = 0;
    std::u16string path;
    std::u16string title;
    bool operator==(const CatalogueEntry&) const = default;
};

// Which source file (MP3 or WAV the user picked) produced which catalogue tone.
struct ConvertedEntry {
    std::string source;
    int32_t id = 0;
    bool operator==(const ConvertedEntry&) const = default;
};

// What one contact hears when calling: the mode and up to two catalogue tones.
struct RingBackChoice {
    int32_t mode = 0;
    int32_t firstId = 0;
    int32_t secondId = 0;
    bool operator==(const RingBackChoice&) const = default;
};

struct RingBackEntry {
    std::string handle;
    RingBackChoice choice;
    bool operator==(const RingBackEntry&) const = default;
};

// How the answering machine ends a caller's message, in milliseconds: after this much
// silence, or at this length; a message with less voice than the minimum is not kept.
struct VoiceMailLimits {
    static constexpr int32_t kSilenceLow = 1000, kSilenceHigh = 60000;
    static constexpr int32_t kMinVoiceLow = 0, kMinVoiceHigh = 10000;
    static constexpr int32_t kLengthLow = 10000, kLengthHigh = 3600000;

    int32_t silenceMs = 6000;
    int32_t minVoiceMs = 1000;
    int32_t maxLengthMs = 300000;
    bool operator==(const VoiceMailLimits&) const = default;
};

// Which greeting the answering machine plays to a caller: the one the voice-mail page
// chooses (Standard), the user's own "AnswerMachine.wav" (Own), or a file of the user's
// folder (File).
enum class GreetingKind : int32_t { Standard = 0, Own = 1, File = 2 };

struct GreetingChoice {
    GreetingKind kind = GreetingKind::Standard;
    std::string file;  // for GreetingKind::File: a bare file name in the user's folder
    bool operator==(const GreetingChoice&) const = default;
};

struct ContactGreeting {
    std::string handle;
    GreetingChoice greeting;
    bool operator==(const ContactGreeting&) const = default;
};

// The greetings that differ from the voice-mail page's: the one a caller hears after the
// user declined the call (none: the call just ends), and the contacts' own.
struct GreetingTable {
    std::optional<GreetingChoice> busy;
    std::vector<ContactGreeting> contacts;
    bool operator==(const GreetingTable&) const = default;
};

// Everything one setting file holds, field by field in file order. The lists keep the
// file's order and any repeated keys, so that a damaged or foreign file can be shown as
// it is; the tables decide what a repeated key means.
struct SettingFileContents {
    static constexpr int32_t kVersion = 1;

    int32_t version = kVersion;
    int32_t language = 0;
    bool voiceMailOn = true;
    bool useDefaultGreeting = true;
    std::string greetingSource;
    bool useDefaultRingTone = true;
    std::string ringToneSource;
    int32_t standardTone = 0;
    std::u16string ownToneTitle;
    std::u16string ownToneSource;
    std::u16string partnerToneKey = u"-1";
    std::vector<CatalogueEntry> catalogue;
    std::vector<ConvertedEntry> converted;
    std::vector<RingBackEntry> ringBacks;
    // Written after the last field of version 1, marked, so that readers that stop at
    // that field still read the file; nothing when the file has none (the defaults hold).
    std::optional<VoiceMailLimits> voiceMailLimits;
    // Marked too, after the limits (or in their place when there are none).
    std::optional<GreetingTable> greetings;

    bool operator==(const SettingFileContents&) const = default;
};

}  // namespace velto::core
