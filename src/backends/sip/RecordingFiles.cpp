#include "backends/sip/RecordingFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
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
// A path and two numbers fit easily; anything larger is no side file of ours.
constexpr size_t kMaxNoteBytes = 8192;

bool IsRecordingName(const std::string& name) {
    return name.rfind(kPrefix, 0) == 0 && name.size() > std::strlen(kPrefix) + 4 &&
           name.compare(name.size() - 4, 4, kSuffix) == 0;
}

std::optional<RecordingNote> ReadTargetNote(const std::filesystem::path& recording) {
    std::ifstream in(TargetNoteOf(recording), std::ios::binary);
    std::string bytes;
    char buffer[512];
    while (in && bytes.size() <= kMaxNoteBytes) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
    }
    return ParseTargetNote(bytes);
}

std::optional<uint32_t> Number(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Copies `from` to `to` with the system's own reason for a failure (the library's copy
// reports a full disk as an input/output error). 0 or an errno value.
int CopyBytes(const std::filesystem::path& from, const std::filesystem::path& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return errno;
    }
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        close(in);
        return error;
    }
    int error = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < got && error == 0;) {
            const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR) {
                error = errno;
            } else if (put > 0) {
                done += put;
            }
        }
        if (error != 0) {
            break;
        }
    }
    if (error == 0 && fsync(out) != 0) {
        error = errno;
    }
    if (close(out) != 0 && error == 0) {
        error = errno;
    }
    close(in);
    return error;
}

// Across file systems: a copy beside the target, renamed when complete.
std::string CopyIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::filesystem::path part = to.string() + ".part";
    int error = CopyBytes(from, part);
    if (error == 0 && rename(part.c_str(), to.c_str()) != 0) {
        error = errno;
    }
    if (error == 0) {
        return {};
    }
    // The reason is kept before the clean-up can overwrite it.
    const std::string why = std::strerror(error);
    unlink(part.c_str());
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

std::string WriteTargetNote(const std::filesystem::path& recording, const RecordingNote& note) {
    const std::string text = "target=" + note.target.string() +
                             "\nrate=" + std::to_string(note.format.rate) +
                             "\nchannels=" + std::to_string(note.format.channels) + "\n";
    if (note.target.string().find('\n') != std::string::npos) {
        return "a line break in the file name";
    }
    const int error = platform::WriteFileAtomically(TargetNoteOf(recording), text, 0600);
    return error == 0 ? std::string() : std::strerror(error);
}

std::optional<RecordingNote> ParseTargetNote(const std::string& bytes) {
    if (bytes.size() > kMaxNoteBytes) {
        return std::nullopt;
    }
    RecordingNote note;
    std::optional<uint32_t> rate;
    std::optional<uint32_t> channels;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find('\n', at);
        if (end == std::string::npos) {
            return std::nullopt;  // cut off
        }
        const std::string_view line(bytes.data() + at, end - at);
        const size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        if (key == "target") {
            note.target = std::string(value);
        } else if (key == "rate") {
            rate = Number(value);
        } else if (key == "channels") {
            channels = Number(value);
        }
        at = end + 1;
    }
    if (note.target.empty() || !note.target.is_absolute() || !rate || !channels || *channels > 16) {
        return std::nullopt;
    }
    note.format = {*rate, static_cast<uint16_t>(*channels)};
    return note;
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
        const auto note = ReadTargetNote(recording);
        if (!note || !std::filesystem::exists(recording, error)) {
            RemoveRecording(recording);  // never started, or already in place
            continue;
        }
        const std::filesystem::path* target = &note->target;
        // A header the stack finished needs its sizes only; a blank one is written whole.
        std::string why = audio::FixWavSizes(recording);
        if (!why.empty()) {
            why = audio::WriteWavHeader(recording, note->format);
        }
        if (!why.empty()) {
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
