#include "calls/CallGreeting.h"

#include "platform/FileLookup.h"
#include "platform/Trace.h"
#include "platform/WavFile.h"

namespace velto::calls {
namespace {

constexpr const char* kOwnGreetingFile = "AnswerMachine.wav";

std::string StockGreeting(const GreetingFolders& folders) {
    return GreetingPath(true, folders.language, folders.installDir, folders.ownFolder);
}

// Why `file` cannot be played as a greeting, or empty when it can.
std::string Unplayable(const std::string& file) {
    std::string error;
    const auto layout = platform::ReadWavLayout(file, &error);
    if (!layout) {
        return error.empty() ? "not a WAV file" : error;
    }
    return layout->dataBytes == 0 ? "no sound in it" : "";
}

// The chosen greeting's file; nothing when the choice is the voice-mail page's.
std::optional<std::string> ChosenFile(const core::GreetingChoice& choice,
                                      const GreetingFolders& folders) {
    switch (choice.kind) {
        case core::GreetingKind::Standard:
            break;
        case core::GreetingKind::Own:
            if (folders.ownFolder) {
                return platform::ResolveNoCase(*folders.ownFolder, kOwnGreetingFile).string();
            }
            return StockGreeting(folders);
        case core::GreetingKind::File:
            if (folders.ownFolder) {
                return platform::ResolveNoCase(*folders.ownFolder, choice.file).string();
            }
            platform::Trace("Greeting %s: no user folder\n", choice.file.c_str());
            return StockGreeting(folders);
    }
    return std::nullopt;
}

// What the request chooses, and for the trace, who chose it; nothing: the voice-mail page.
std::optional<std::string> Chosen(const core::UserSettings& settings,
                                  const GreetingFolders& folders, const GreetingRequest& request,
                                  const char*& by) {
    if (request.rule) {
        by = "the rule's";
        if (*request.rule == "default") {
            return std::nullopt;
        }
        return ChosenFile(core::GreetingChoice{core::GreetingKind::File, *request.rule}, folders);
    }
    if (request.declined) {
        if (const auto busy = settings.BusyGreeting()) {
            by = "the busy";
            return ChosenFile(*busy, folders);
        }
    }
    by = "the contact's";
    return ChosenFile(settings.FindGreeting(request.handle), folders);
}

}  // namespace

std::string GreetingPath(bool useDefaultGreeting, int32_t language, const std::string& installDir,
                         const std::optional<std::filesystem::path>& ownFolder) {
    if (useDefaultGreeting || !ownFolder) {
        const char* name =
            language == 0 || language == 1 ? "DefaultAM_Ch.wav" : "DefaultAM_Eng.wav";
        return platform::ResolveNoCase(installDir, name).string();
    }
    return platform::ResolveNoCase(*ownFolder, kOwnGreetingFile).string();
}

std::string CallGreetingPath(const core::UserSettings& settings, const GreetingFolders& folders,
                             const GreetingRequest& request) {
    const char* by = "";
    const std::string page = GreetingPath(settings.UseDefaultGreeting(), folders.language,
                                          folders.installDir, folders.ownFolder);
    if (const auto chosen = Chosen(settings, folders, request, by); chosen && *chosen != page) {
        const std::string why = Unplayable(*chosen);
        if (why.empty()) {
            return *chosen;
        }
        platform::Trace(
            "Greeting: %s greeting %s cannot be played (%s); the standard one instead\n", by,
            chosen->c_str(), why.c_str());
    }
    const std::string stock = StockGreeting(folders);
    if (page != stock) {
        if (const std::string why = Unplayable(page); !why.empty()) {
            platform::Trace(
                "Greeting: the user's greeting %s cannot be played (%s); the stock one "
                "instead\n",
                page.c_str(), why.c_str());
            return stock;
        }
    }
    return page;
}

}  // namespace velto::calls
