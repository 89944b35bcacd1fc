#include "core/SettingFileCodec.h"

#include <string_view>

#include "platform/PathComponent.h"

namespace velto::core {
namespace {

// Smallest encodings, used to bound counts by the bytes that remain.
constexpr size_t kInt32Bytes = 4;
constexpr size_t kMinCatalogueEntryBytes = 3 * kInt32Bytes;   // id, two empty strings
constexpr size_t kMinConvertedEntryBytes = 2 * kInt32Bytes;   // empty name, id
constexpr size_t kMinRingBackEntryBytes = 4 * kInt32Bytes;    // empty handle, three ints
constexpr size_t kMinContactGreetingBytes = 3 * kInt32Bytes;  // empty handle, kind, empty file
// Starts the voice-mail limits after the last field of version 1.
constexpr std::string_view kLimitsMarker = "VML1";
// Starts the greeting table, after the limits.
constexpr std::string_view kGreetingsMarker = "GRT1";
// The busy greeting's kind when there is none.
constexpr int32_t kNoGreeting = -1;

class Writer {
  public:
    void Int32(int32_t value) {
        const auto bits = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            out_.push_back(static_cast<char>((bits >> shift) & 0xFF));
        }
    }
    void Byte(bool value) { out_.push_back(value ? 1 : 0); }
    void Raw(std::string_view bytes) { out_ += bytes; }
    void Narrow(const std::string& text) {
        Int32(static_cast<int32_t>(text.size()));
        out_ += text;
    }
    void Wide(const std::u16string& text) {
        Int32(static_cast<int32_t>(text.size()));
        for (char16_t unit : text) {
            out_.push_back(static_cast<char>(unit & 0xFF));
            out_.push_back(static_cast<char>(unit >> 8));
        }
    }
    std::string Take() { return std::move(out_); }

  private:
    std::string out_;
};

// Reads fields in order; the first failure is kept and every later read fails at once.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    const SettingFileError& error() const { return error_; }
    size_t remaining() const { return bytes_.size() - pos_; }

    bool Int32(const char* field, int32_t& value) {
        const size_t start = pos_;
        return ReadInt32(field, start, value);
    }

    bool Byte(const char* field, bool& value) {
        if (failed_) {
            return false;
        }
        if (remaining() < 1) {
            return Fail(field, pos_, "1 byte needed, the file ends");
        }
        value = bytes_[pos_++] != 0;
        return true;
    }

    bool Narrow(const char* field, std::string& text) {
        const size_t start = pos_;
        int32_t length = 0;
        if (!ReadInt32(field, start, length)) {
            return false;
        }
        if (length < 0) {
            return Fail(field, start, "negative length " + std::to_string(length));
        }
        if (length >= kMaxNarrowStringBytes) {
            return Fail(field, start,
                        "length " + std::to_string(length) + " is " +
                            std::to_string(kMaxNarrowStringBytes) + " bytes or more");
        }
        if (static_cast<size_t>(length) > remaining()) {
            return Fail(field, start, Overrun(length, "bytes"));
        }
        text.assign(bytes_.substr(pos_, static_cast<size_t>(length)));
        pos_ += static_cast<size_t>(length);
        return true;
    }

    bool Wide(const char* field, std::u16string& text) {
        const size_t start = pos_;
        int32_t length = 0;
        if (!ReadInt32(field, start, length)) {
            return false;
        }
        if (length < 0) {
            return Fail(field, start, "negative length " + std::to_string(length));
        }
        if (static_cast<size_t>(length) > remaining() / 2) {
            return Fail(field, start, Overrun(length, "UTF-16 units"));
        }
        text.resize(static_cast<size_t>(length));
        for (char16_t& unit : text) {
            const auto low = static_cast<uint8_t>(bytes_[pos_]);
            const auto high = static_cast<uint8_t>(bytes_[pos_ + 1]);
            unit = static_cast<char16_t>(low | (high << 8));
            pos_ += 2;
        }
        return true;
    }

    // An int32 within [low, high].
    bool Int32In(const char* field, int32_t low, int32_t high, int32_t& value) {
        const size_t start = pos_;
        if (!ReadInt32(field, start, value)) {
            return false;
        }
        if (value < low || value > high) {
            return Fail(field, start,
                        std::to_string(value) + " is outside " + std::to_string(low) + " to " +
                            std::to_string(high));
        }
        return true;
    }

    size_t position() const { return pos_; }
    // Refuses the file for what a field holds rather than how it is encoded.
    bool Refuse(const char* field, size_t offset, std::string reason) {
        return Fail(field, offset, std::move(reason));
    }

    // True (and past it) when `marker` comes next.
    bool Marker(std::string_view marker) {
        if (failed_ || remaining() < marker.size() ||
            bytes_.substr(pos_, marker.size()) != marker) {
            return false;
        }
        pos_ += marker.size();
        return true;
    }

    // A count of entries, each at least `minEntryBytes` long.
    bool Count(const char* field, size_t minEntryBytes, size_t& count) {
        const size_t start = pos_;
        int32_t value = 0;
        if (!ReadInt32(field, start, value)) {
            return false;
        }
        if (value < 0) {
            return Fail(field, start, "negative count " + std::to_string(value));
        }
        if (static_cast<size_t>(value) > remaining() / minEntryBytes) {
            return Fail(field, start,
                        "count " + std::to_string(value) + " cannot fit in the " +
                            std::to_string(remaining()) + " bytes that remain");
        }
        count = static_cast<size_t>(value);
        return true;
    }

  private:
    bool ReadInt32(const char* field, size_t start, int32_t& value) {
        if (failed_) {
            return false;
        }
        if (remaining() < kInt32Bytes) {
            return Fail(field, start, "4 bytes needed, " + std::to_string(remaining()) + " remain");
        }
        uint32_t bits = 0;
        for (size_t i = 0; i < kInt32Bytes; ++i) {
            bits |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
        }
        value = static_cast<int32_t>(bits);
        pos_ += kInt32Bytes;
        return true;
    }

    std::string Overrun(int32_t length, const char* unit) const {
        return "length " + std::to_string(length) + " " + unit + " runs past the end (" +
               std::to_string(remaining()) + " bytes remain)";
    }

    bool Fail(const char* field, size_t offset, std::string reason) {
        failed_ = true;
        error_ = SettingFileError{field, offset, std::move(reason)};
        return false;
    }

    std::string_view bytes_;
    size_t pos_ = 0;
    bool failed_ = false;
    SettingFileError error_;
};

void WriteGreeting(Writer& out, const std::optional<GreetingChoice>& greeting) {
    out.Int32(greeting ? static_cast<int32_t>(greeting->kind) : kNoGreeting);
    out.Narrow(greeting ? greeting->file : std::string());
}

// A greeting's kind and file; a kind of -1 (allowed only with `mayBeNone`) is none. A file
// goes with the file kind alone, and then it is a bare name in the user's folder.
std::optional<GreetingChoice> ReadGreeting(Reader& in, const char* kindField, const char* fileField,
                                           bool mayBeNone) {
    int32_t kind = 0;
    std::string file;
    in.Int32In(kindField, mayBeNone ? kNoGreeting : 0, static_cast<int32_t>(GreetingKind::File),
               kind);
    const size_t fileAt = in.position();
    if (!in.Narrow(fileField, file)) {
        return std::nullopt;
    }
    std::string why;
    if (kind == static_cast<int32_t>(GreetingKind::File)) {
        if (!platform::IsSafePathComponent(file, &why)) {
            in.Refuse(fileField, fileAt, "not a bare file name: " + why);
        }
    } else if (!file.empty()) {
        in.Refuse(fileField, fileAt, "a file name for a greeting of kind " + std::to_string(kind));
    }
    if (kind == kNoGreeting) {
        return std::nullopt;
    }
    return GreetingChoice{static_cast<GreetingKind>(kind), std::move(file)};
}

void ReadGreetings(Reader& in, GreetingTable& table) {
    table.busy = ReadGreeting(in, "busy greeting kind", "busy greeting file", true);
    size_t count = 0;
    if (!in.Count("contact greeting count", kMinContactGreetingBytes, count)) {
        return;
    }
    table.contacts.resize(count);
    for (ContactGreeting& entry : table.contacts) {
        in.Narrow("contact greeting handle", entry.handle);
        if (const auto greeting =
                ReadGreeting(in, "contact greeting kind", "contact greeting file", false)) {
            entry.greeting = *greeting;
        }
        if (in.failed()) {
            return;
        }
    }
}

}  // namespace

std::string SettingFileError::ToString() const {
    return "field '" + field + "' at offset " + std::to_string(offset) + ": " + reason;
}

std::string EncodeSettingFile(const SettingFileContents& c) {
    Writer out;
    out.Int32(c.version);
    out.Int32(c.language);
    out.Byte(c.voiceMailOn);
    out.Byte(c.useDefaultGreeting);
    out.Narrow(c.greetingSource);
    out.Byte(c.useDefaultRingTone);
    out.Narrow(c.ringToneSource);
    out.Int32(c.standardTone);
    out.Wide(c.ownToneTitle);
    out.Wide(c.ownToneSource);
    out.Wide(c.partnerToneKey);
    out.Int32(static_cast<int32_t>(c.catalogue.size()));
    for (const CatalogueEntry& entry : c.catalogue) {
        out.Int32(entry.id);
        out.Wide(entry.path);
        out.Wide(entry.title);
    }
    out.Int32(static_cast<int32_t>(c.converted.size()));
    for (const ConvertedEntry& entry : c.converted) {
        out.Narrow(entry.source);
        out.Int32(entry.id);
    }
    out.Int32(static_cast<int32_t>(c.ringBacks.size()));
    for (const RingBackEntry& entry : c.ringBacks) {
        out.Narrow(entry.handle);
        out.Int32(entry.choice.mode);
        out.Int32(entry.choice.firstId);
        out.Int32(entry.choice.secondId);
    }
    if (c.voiceMailLimits) {
        out.Raw(kLimitsMarker);
        out.Int32(c.voiceMailLimits->silenceMs);
        out.Int32(c.voiceMailLimits->minVoiceMs);
        out.Int32(c.voiceMailLimits->maxLengthMs);
    }
    if (c.greetings) {
        out.Raw(kGreetingsMarker);
        WriteGreeting(out, c.greetings->busy);
        out.Int32(static_cast<int32_t>(c.greetings->contacts.size()));
        for (const ContactGreeting& entry : c.greetings->contacts) {
            out.Narrow(entry.handle);
            WriteGreeting(out, entry.greeting);
        }
    }
    return out.Take();
}

SettingFileDecoded DecodeSettingFile(std::string_view bytes) {
    Reader in(bytes);
    SettingFileContents c;
    in.Int32("format version", c.version);
    in.Int32("language", c.language);
    in.Byte("voice mail on", c.voiceMailOn);
    in.Byte("use-default-greeting", c.useDefaultGreeting);
    in.Narrow("greeting source", c.greetingSource);
    in.Byte("use-default-ring-tone", c.useDefaultRingTone);
    in.Narrow("ring-tone source", c.ringToneSource);
    in.Int32("standard-tone setting", c.standardTone);
    in.Wide("own standard tone title", c.ownToneTitle);
    in.Wide("own standard tone source", c.ownToneSource);
    in.Wide("chosen partner tone key", c.partnerToneKey);

    size_t count = 0;
    if (in.Count("tone catalogue count", kMinCatalogueEntryBytes, count)) {
        c.catalogue.resize(count);
        for (CatalogueEntry& entry : c.catalogue) {
            in.Int32("tone catalogue item id", entry.id);
            in.Wide("tone catalogue file path", entry.path);
            in.Wide("tone catalogue title", entry.title);
        }
    }
    if (in.Count("converted-file count", kMinConvertedEntryBytes, count)) {
        c.converted.resize(count);
        for (ConvertedEntry& entry : c.converted) {
            in.Narrow("converted-file source name", entry.source);
            in.Int32("converted-file item id", entry.id);
        }
    }
    if (in.Count("per-contact count", kMinRingBackEntryBytes, count)) {
        c.ringBacks.resize(count);
        for (RingBackEntry& entry : c.ringBacks) {
            in.Narrow("per-contact handle", entry.handle);
            in.Int32("per-contact mode", entry.choice.mode);
            in.Int32("per-contact first item id", entry.choice.firstId);
            in.Int32("per-contact second item id", entry.choice.secondId);
        }
    }

    if (in.Marker(kLimitsMarker)) {
        VoiceMailLimits& limits = c.voiceMailLimits.emplace();
        using L = VoiceMailLimits;
        in.Int32In("voice-mail silence limit", L::kSilenceLow, L::kSilenceHigh, limits.silenceMs);
        in.Int32In("voice-mail least voice", L::kMinVoiceLow, L::kMinVoiceHigh, limits.minVoiceMs);
        in.Int32In("voice-mail longest message", L::kLengthLow, L::kLengthHigh, limits.maxLengthMs);
    }
    if (in.Marker(kGreetingsMarker)) {
        ReadGreetings(in, c.greetings.emplace());
    }

    SettingFileDecoded result;
    if (in.failed()) {
        result.error = in.error();
        return result;
    }
    result.trailingBytes = in.remaining();
    result.contents = std::move(c);
    return result;
}

}  // namespace velto::core
