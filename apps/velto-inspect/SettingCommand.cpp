#include <string>
#include <vector>

#include "core/SettingFileCodec.h"
#include "core/SettingFileStore.h"
#include "velto-inspect/Inspect.h"
#include "velto-inspect/Quoting.h"

namespace velto::inspect {
namespace {

using core::SettingFileContents;

const char* YesNo(bool value) {
    return value ? "yes" : "no";
}

const char* StandardToneName(int32_t setting) {
    switch (setting) {
        case 0:
            return " (default tone)";
        case 1:
            return " (own standard tone)";
        case 2:
            return " (partner-service tone)";
        default:
            return " (unknown)";
    }
}

// "standard", "own" or the file's name, quoted.
std::string GreetingWords(const core::GreetingChoice& greeting) {
    switch (greeting.kind) {
        case core::GreetingKind::Standard:
            return "standard";
        case core::GreetingKind::Own:
            return "own";
        case core::GreetingKind::File:
            break;
    }
    return "file " + QuoteNarrow(greeting.file);
}

std::string GreetingJson(const core::GreetingChoice& greeting) {
    static const char* const kKinds[] = {"standard", "own", "file"};
    std::string json = std::string("{\"kind\":\"") + kKinds[static_cast<int>(greeting.kind)] + "\"";
    if (greeting.kind == core::GreetingKind::File) {
        json += ",\"file\":" + JsonNarrow(greeting.file);
    }
    return json + "}";
}

std::string Entries(size_t count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

void PrintReadable(const std::string& file, size_t size, const SettingFileContents& c,
                   size_t trailing, std::ostream& out) {
    out << "setting file: " << QuoteNarrow(file) << " (" << size << " bytes)\n"
        << "format version: " << c.version << "\n"
        << "language: " << c.language << "\n"
        << "voice mail on: " << YesNo(c.voiceMailOn) << "\n"
        << "use-default-greeting: " << YesNo(c.useDefaultGreeting) << "\n"
        << "greeting source: " << QuoteNarrow(c.greetingSource) << "\n"
        << "use-default-ring-tone: " << YesNo(c.useDefaultRingTone) << "\n"
        << "ring-tone source: " << QuoteNarrow(c.ringToneSource) << "\n"
        << "standard-tone setting: " << c.standardTone << StandardToneName(c.standardTone) << "\n"
        << "own standard tone title: " << QuoteWide(c.ownToneTitle) << "\n"
        << "own standard tone source: " << QuoteWide(c.ownToneSource) << "\n"
        << "chosen partner tone key: " << QuoteWide(c.partnerToneKey) << "\n"
        << "tone catalogue: " << Entries(c.catalogue.size()) << "\n";
    for (const core::CatalogueEntry& entry : c.catalogue) {
        out << "  " << entry.id << ": title " << QuoteWide(entry.title) << ", path "
            << QuoteWide(entry.path) << "\n";
    }
    out << "converted files: " << Entries(c.converted.size()) << "\n";
    for (const core::ConvertedEntry& entry : c.converted) {
        out << "  " << QuoteNarrow(entry.source) << " -> " << entry.id << "\n";
    }
    out << "per-contact ring-back tones: " << Entries(c.ringBacks.size()) << "\n";
    for (const core::RingBackEntry& entry : c.ringBacks) {
        out << "  " << QuoteNarrow(entry.handle) << ": mode " << entry.choice.mode << ", first "
            << entry.choice.firstId << ", second " << entry.choice.secondId << "\n";
    }
    if (const auto& limits = c.voiceMailLimits) {
        out << "voice-mail limits: silence " << limits->silenceMs << " ms, least voice "
            << limits->minVoiceMs << " ms, longest message " << limits->maxLengthMs << " ms\n";
    }
    if (const auto& greetings = c.greetings) {
        out << "busy greeting: " << (greetings->busy ? GreetingWords(*greetings->busy) : "none")
            << "\n"
            << "per-contact greetings: " << Entries(greetings->contacts.size()) << "\n";
        for (const core::ContactGreeting& entry : greetings->contacts) {
            out << "  " << QuoteNarrow(entry.handle) << ": " << GreetingWords(entry.greeting)
                << "\n";
        }
    }
    if (trailing != 0) {
        out << "trailing bytes: " << trailing << " (ignored)\n";
    }
}

void PrintJson(const SettingFileContents& c, size_t trailing, std::ostream& out) {
    auto flag = [](bool value) { return value ? "true" : "false"; };
    out << "{\"version\":" << c.version << ",\"language\":" << c.language
        << ",\"voiceMailOn\":" << flag(c.voiceMailOn)
        << ",\"useDefaultGreeting\":" << flag(c.useDefaultGreeting)
        << ",\"greetingSource\":" << JsonNarrow(c.greetingSource)
        << ",\"useDefaultRingTone\":" << flag(c.useDefaultRingTone)
        << ",\"ringToneSource\":" << JsonNarrow(c.ringToneSource)
        << ",\"standardTone\":" << c.standardTone
        << ",\"ownToneTitle\":" << JsonWide(c.ownToneTitle)
        << ",\"ownToneSource\":" << JsonWide(c.ownToneSource)
        << ",\"partnerToneKey\":" << JsonWide(c.partnerToneKey) << ",\"catalogue\":[";
    const char* separator = "";
    for (const core::CatalogueEntry& entry : c.catalogue) {
        out << separator << "{\"id\":" << entry.id << ",\"path\":" << JsonWide(entry.path)
            << ",\"title\":" << JsonWide(entry.title) << "}";
        separator = ",";
    }
    out << "],\"converted\":[";
    separator = "";
    for (const core::ConvertedEntry& entry : c.converted) {
        out << separator << "{\"source\":" << JsonNarrow(entry.source) << ",\"id\":" << entry.id
            << "}";
        separator = ",";
    }
    out << "],\"ringBacks\":[";
    separator = "";
    for (const core::RingBackEntry& entry : c.ringBacks) {
        out << separator << "{\"handle\":" << JsonNarrow(entry.handle)
            << ",\"mode\":" << entry.choice.mode << ",\"firstId\":" << entry.choice.firstId
            << ",\"secondId\":" << entry.choice.secondId << "}";
        separator = ",";
    }
    out << "]";
    if (const auto& limits = c.voiceMailLimits) {
        out << ",\"voiceMailLimits\":{\"silenceMs\":" << limits->silenceMs
            << ",\"minVoiceMs\":" << limits->minVoiceMs
            << ",\"maxLengthMs\":" << limits->maxLengthMs << "}";
    }
    if (const auto& greetings = c.greetings) {
        out << ",\"greetings\":{\"busy\":"
            << (greetings->busy ? GreetingJson(*greetings->busy) : "null") << ",\"contacts\":[";
        const char* separator = "";
        for (const core::ContactGreeting& entry : greetings->contacts) {
            out << separator << "{\"handle\":" << JsonNarrow(entry.handle)
                << ",\"greeting\":" << GreetingJson(entry.greeting) << "}";
            separator = ",";
        }
        out << "]}";
    }
    out << ",\"trailingBytes\":" << trailing << "}\n";
}

}  // namespace

int RunSettingCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int exitCode = kExitOk;
    const auto input =
        ReadFileInput("setting", args, core::SettingFileStore::kMaxFileBytes, out, err, exitCode);
    if (!input) {
        return exitCode;
    }
    const bool json = input->json;
    const std::string& file = input->file;
    const std::string& bytes = input->bytes;
    const core::SettingFileDecoded decoded = core::DecodeSettingFile(bytes);
    if (!decoded.contents) {
        err << "velto-inspect: " << file << ": malformed setting file: " << decoded.error.ToString()
            << "\n";
        return kExitMalformed;
    }
    if (json) {
        PrintJson(*decoded.contents, decoded.trailingBytes, out);
    } else {
        PrintReadable(file, bytes.size(), *decoded.contents, decoded.trailingBytes, out);
    }
    return kExitOk;
}

}  // namespace velto::inspect
