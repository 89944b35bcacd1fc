#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velto::ui {

// Stock sounds in the installation folder.
inline constexpr const char* kDefaultRingBackFile = "default.wav";
inline constexpr const char* kDefaultRingToneFile = "ringing.wav";
inline constexpr const char* kChineseGreetingFile = "DefaultAM_Ch.wav";
inline constexpr const char* kEnglishGreetingFile = "DefaultAM_Eng.wav";
// The user's own sounds in the user's own folder, made on OK in the options dialog.
inline constexpr const char* kOwnRingBackFile = "StdRbtCustom.wav";
inline constexpr const char* kOwnRingToneFile = "Ringtone.wav";
inline constexpr const char* kOwnGreetingFile = "AnswerMachine.wav";

// The stock greeting: Chinese for languages 0 and 1, English for the others.
const char* DefaultGreetingFile(int32_t language);

// `name` in `folder`, matched without regard to case (a file that is not there yet keeps
// the name as given).
std::filesystem::path FileIn(const std::filesystem::path& folder, const std::string& name);

}  // namespace velto::ui
