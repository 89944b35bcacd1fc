#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The running program's registration in one line, for `velto-account status` to tell
// without registering a second time: "registration" in the SIP data folder holds the
// program's process id and its latest outcome line ("registered at ..." or "registration
// at ... failed: ...; next try ..."). It goes when the program lets the account go; one
// left by a crash names a process that no longer runs.
namespace velto::skype::sip {

inline constexpr const char* kRegistrationNoteName = "registration";
// An outcome line longer than this is cut (a reason text comes from the registrar).
inline constexpr size_t kMaxRegistrationLine = 1024;

struct RegistrationNote {
    pid_t pid = 0;
    std::string line;
};

// False (the error traced) when the note could not be written; the program goes on.
bool WriteRegistrationNote(const std::filesystem::path& dataDir, const RegistrationNote& note);
void RemoveRegistrationNote(const std::filesystem::path& dataDir);

// "pid=N\nline=TEXT\n"; nothing for anything else (every length checked).
std::string EncodeRegistrationNote(const RegistrationNote& note);
std::optional<RegistrationNote> ParseRegistrationNote(std::string_view bytes);

// The note of a velto that runs now: its process is alive and is velto.
std::optional<RegistrationNote> RunningRegistration(const std::filesystem::path& dataDir);

}  // namespace velto::skype::sip
