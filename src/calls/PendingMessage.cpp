#include "calls/PendingMessage.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls {
namespace {

constexpr std::string_view kSuffix = ".call";
constexpr std::string_view kCaller = "caller=";
constexpr std::string_view kTime = "time=";
// A handle and a time stamp fit easily; anything larger is not a side file of ours.
constexpr size_t kMaxNoteBytes = 4096;

// One line per field: a line break in a handle would start a field of its own.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = '_';
        }
    }
    return text;
}

std::string ReadSmallFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes;
    char buffer[512];
    while (in && bytes.size() <= kMaxNoteBytes) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
    }
    return bytes;
}

}  // namespace

std::filesystem::path PendingNoteOf(const std::filesystem::path& voiceFile) {
    return voiceFile.string() + std::string(kSuffix);
}

bool WritePendingNote(const std::filesystem::path& voiceFile, const MissedCall& record) {
    const std::string bytes = std::string(kCaller) + OneLine(record.partnerHandle) + "\n" +
                              std::string(kTime) + OneLine(record.time) + "\n";
    if (const int error = platform::WriteFileAtomically(PendingNoteOf(voiceFile), bytes, 0600)) {
        platform::Trace("Cannot write %s: %s\n", PendingNoteOf(voiceFile).c_str(),
                        std::strerror(error));
        return false;
    }
    return true;
}

void RemovePendingNote(const std::filesystem::path& voiceFile) {
    std::error_code error;
    std::filesystem::remove(PendingNoteOf(voiceFile), error);
}

std::optional<MissedCall> ParsePendingNote(const std::string& bytes) {
    if (bytes.size() > kMaxNoteBytes) {
        return std::nullopt;
    }
    MissedCall record;
    bool caller = false;
    bool time = false;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find('\n', at);
        if (end == std::string::npos) {
            return std::nullopt;  // cut off
        }
        const std::string_view line(bytes.data() + at, end - at);
        if (line.substr(0, kCaller.size()) == kCaller) {
            record.partnerHandle = std::string(line.substr(kCaller.size()));
            caller = true;
        } else if (line.substr(0, kTime.size()) == kTime) {
            record.time = std::string(line.substr(kTime.size()));
            time = true;
        }
        at = end + 1;
    }
    if (!caller || !time || record.partnerHandle.empty()) {
        return std::nullopt;
    }
    return record;
}

bool MessageInPlace(const std::filesystem::path& voiceFile) {
    std::error_code error;
    const auto size = std::filesystem::file_size(voiceFile, error);
    return !error && size >= 44 && std::filesystem::is_regular_file(voiceFile, error);
}

int SettlePendingMessages(MissedCallList& list, const std::filesystem::path& voiceFolder,
                          std::filesystem::file_time_type runStart) {
    std::error_code error;
    std::vector<std::filesystem::path> notes;
    for (std::filesystem::directory_iterator it(voiceFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code timeError;
        const auto written = it->last_write_time(timeError);
        if (name.size() > kSuffix.size() &&
            name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0 &&
            !timeError && written < runStart) {
            notes.push_back(it->path());
        }
    }
    int settled = 0;
    for (const auto& note : notes) {
        std::filesystem::path voice = note;
        voice.replace_extension();
        auto record = ParsePendingNote(ReadSmallFile(note));
        if (!record) {
            platform::Trace("Missed calls: %s is damaged, removed\n", note.c_str());
        } else {
            record->hasVoiceMessage = MessageInPlace(voice);
            if (record->hasVoiceMessage) {
                record->voiceFile = platform::Utf8ToUtf16(voice.string());
            }
            if (list.AddOrComplete(*record)) {
                platform::Trace(
                    "Missed calls: the call of %s at %s was interrupted; %s\n",
                    record->partnerHandle.c_str(), record->time.c_str(),
                    record->hasVoiceMessage ? "its message is kept" : "no message was kept");
                ++settled;
            }
        }
        std::filesystem::remove(note, error);
    }
    if (settled > 0) {
        list.Save();
        list.SetNewMissedCall();
    }
    return settled;
}

}  // namespace velto::calls
