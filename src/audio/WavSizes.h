#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velto::audio {

// Makes the two size fields of a PCM WAV file with the usual 44-byte header agree with
// the bytes the file holds (RIFF size = file size - 8, data size = whole sample frames
// after the header): for a recording that was cut off, or whose writer counted wrongly.
// Empty on success, else why the file is not such a WAV or could not be written.
std::string FixWavSizes(const std::filesystem::path& file);

// 16-bit PCM.
struct PcmFormat {
    uint32_t rate = 0;
    uint16_t channels = 0;
};
// Writes a whole 44-byte header for `format` over the start of `file`, its sizes from the
// bytes the file holds: for a recording whose writer leaves the header blank until it
// finishes. The file must hold at least the header's 44 bytes. Empty, or the reason.
std::string WriteWavHeader(const std::filesystem::path& file, PcmFormat format);

}  // namespace velto::audio
