#pragma once

#include <filesystem>
#include <string>

namespace velto::audio {

// Makes the two size fields of a PCM WAV file with the usual 44-byte header agree with
// the bytes the file holds (RIFF size = file size - 8, data size = whole sample frames
// after the header): for a recording that was cut off, or whose writer counted wrongly.
// Empty on success, else why the file is not such a WAV or could not be written.
std::string FixWavSizes(const std::filesystem::path& file);

}  // namespace velto::audio
