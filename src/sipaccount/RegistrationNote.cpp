#include "sipaccount/RegistrationNote.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace velto::skype::sip {
namespace {

// A note is two short lines; anything larger is no note.
constexpr size_t kMaxNoteBytes = kMaxRegistrationLine + 64;

// The value of `key=` at the start of `bytes`, up to its line end; moves past that.
std::optional<std::string_view> Field(std::string_view& bytes, std::string_view key) {
    if (bytes.substr(0, key.size()) != key || bytes.size() <= key.size() ||
        bytes[key.size()] != '=') {
        return std::nullopt;
    }
    const size_t end = bytes.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view value = bytes.substr(key.size() + 1, end - key.size() - 1);
    bytes.remove_prefix(end + 1);
    return value;
}

std::string OneLine(std::string_view text) {
    std::string line(text.substr(0, kMaxRegistrationLine));
    for (char& c : line) {
        if (c == '\n' || c == '\r' || c == '\0') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

std::string EncodeRegistrationNote(const RegistrationNote& note) {
    return "pid=" + std::to_string(note.pid) + "\nline=" + OneLine(note.line) + "\n";
}

std::optional<RegistrationNote> ParseRegistrationNote(std::string_view bytes) {
    if (bytes.size() > kMaxNoteBytes) {
        return std::nullopt;
    }
    const auto pid = Field(bytes, "pid");
    const auto line = pid ? Field(bytes, "line") : std::nullopt;
    if (!line || !bytes.empty() || line->size() > kMaxRegistrationLine ||
        line->find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos) {
        return std::nullopt;
    }
    // Written without leading zeros: a number in another form is no note of ours.
    if (pid->empty() || pid->front() == '0') {
        return std::nullopt;
    }
    RegistrationNote note;
    const auto [end, error] = std::from_chars(pid->data(), pid->data() + pid->size(), note.pid);
    if (error != std::errc() || end != pid->data() + pid->size() || note.pid <= 0) {
        return std::nullopt;
    }
    note.line = std::string(*line);
    return note;
}

bool WriteRegistrationNote(const std::filesystem::path& dataDir, const RegistrationNote& note) {
    const std::filesystem::path path = dataDir / kRegistrationNoteName;
    if (const int error = platform::WriteFileAtomically(path, EncodeRegistrationNote(note), 0600)) {
        platform::Trace("SIP: cannot write %s: %s\n", path.c_str(), std::strerror(error));
        return false;
    }
    return true;
}

void RemoveRegistrationNote(const std::filesystem::path& dataDir) {
    std::error_code error;
    std::filesystem::remove(dataDir / kRegistrationNoteName, error);
}

std::optional<RegistrationNote> RunningRegistration(const std::filesystem::path& dataDir) {
    std::ifstream in(dataDir / kRegistrationNoteName, std::ios::binary);
    std::string bytes;
    bytes.resize(kMaxNoteBytes + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    auto note = ParseRegistrationNote(bytes);
    if (!note) {
        return std::nullopt;
    }
    // A crashed program's note: its process is gone, or the number went to another program.
    std::ifstream comm("/proc/" + std::to_string(note->pid) + "/comm");
    std::string name;
    if (!std::getline(comm, name) || name != "velto") {
        return std::nullopt;
    }
    return note;
}

}  // namespace velto::skype::sip
