#include "backends/sip/RecordingFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "audio/WavSizes.h"
#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace velto::skype::sip {
namespace {

using platform::Trace;

constexpr const char* kPrefix = "recording-";
constexpr const char* kSuffix = ".wav";
constexpr const char* kNoteSuffix = ".target";

bool IsRecordingName(const std::string& name) {
    return name.rfind(kPrefix, 0) == 0 && name.size() > std::strlen(kPrefix) + 4 &&
           name.compare(name.size() - 4, 4, kSuffix) == 0;
}

std::optional<std::filesystem::path> ReadTargetNote(const std::filesystem::path& recording) {
    std::ifstream in(TargetNoteOf(recording), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    if (text.empty() || text.find('\n') != std::string::npos || text.front() != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(text);
}

// Across file systems: a copy beside the target, renamed when complete.
std::string CopyIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::filesystem::path part = to.string() + ".part";
    std::error_code error;
    std::filesystem::copy_file(from, part, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (!error) {
        std::filesystem::rename(part, to, error);
    }
    if (!error) {
        return {};
    }
    // The reason is kept before the clean-up can overwrite it.
    const std::string why = error.message();
    std::error_code ignored;
    std::filesystem::remove(part, ignored);
    return why;
}

}  // namespace

std::optional<std::filesystem::path> CreateRecordingFile(const std::filesystem::path& folder,
                                                         std::string& error) {
    std::string name = (folder / kPrefix).string() + "XXXXXX" + kSuffix;
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkostemps(buffer.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    close(fd);
    return std::filesystem::path(buffer.data());
}

std::filesystem::path TargetNoteOf(const std::filesystem::path& recording) {
    return recording.string() + kNoteSuffix;
}

std::string WriteTargetNote(const std::filesystem::path& recording,
                            const std::filesystem::path& target) {
    const int error =
        platform::WriteFileAtomically(TargetNoteOf(recording), target.string() + "\n", 0600);
    return error == 0 ? std::string() : std::strerror(error);
}

std::string PlaceRecording(const std::filesystem::path& recording,
                           const std::filesystem::path& target) {
    std::error_code error;
    std::filesystem::rename(recording, target, error);
    if (error == std::errc::cross_device_link) {
        if (std::string why = CopyIntoPlace(recording, target); !why.empty()) {
            return why;
        }
        std::filesystem::remove(recording, error);
    } else if (error) {
        return error.message();
    }
    std::filesystem::remove(TargetNoteOf(recording), error);
    return {};
}

void RemoveRecording(const std::filesystem::path& recording) {
    std::error_code error;
    std::filesystem::remove(recording, error);
    std::filesystem::remove(TargetNoteOf(recording), error);
}

int RecoverRecordings(const std::filesystem::path& folder) {
    std::error_code error;
    std::vector<std::filesystem::path> found;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.size() > std::strlen(kNoteSuffix) &&
            name.compare(name.size() - std::strlen(kNoteSuffix), std::string::npos, kNoteSuffix) ==
                0) {
            name.resize(name.size() - std::strlen(kNoteSuffix));
        }
        if (IsRecordingName(name)) {
            found.push_back(folder / name);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    int placed = 0;
    for (const auto& recording : found) {
        const auto target = ReadTargetNote(recording);
        if (!target || !std::filesystem::exists(recording, error)) {
            RemoveRecording(recording);  // never started, or already in place
            continue;
        }
        if (std::string why = audio::FixWavSizes(recording); !why.empty()) {
            Trace("SIP: the recording %s left by an earlier run holds nothing usable: %s\n",
                  recording.c_str(), why.c_str());
            RemoveRecording(recording);
            continue;
        }
        if (std::string why = PlaceRecording(recording, *target); !why.empty()) {
            Trace("SIP: the recording %s left by an earlier run stays there: %s\n",
                  recording.c_str(), why.c_str());
            continue;
        }
        Trace("SIP: a recording left by an earlier run was put in %s\n", target->c_str());
        ++placed;
    }
    return placed;
}

}  // namespace velto::skype::sip
