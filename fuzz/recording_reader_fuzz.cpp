// A recording read while it grows, over arbitrary bytes: the first byte says whether the
// file counts as growing; the rest is the file. What is read is judged for silence.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/RecordingReader.h"
#include "audio/SilenceDetector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("recording_reader_fuzz." + std::to_string(getpid()) + ".wav");
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    velto::audio::RecordingReader reader;
    std::vector<int16_t> samples;
    std::string error;
    const bool read = reader.Read(file, (data[0] & 1) != 0, samples, error);
    if (!read && error.empty()) {
        std::abort();
    }
    if (samples.size() != reader.FramesRead() || (read && reader.SampleRate() == 0)) {
        std::abort();
    }
    if (reader.SampleRate() != 0) {
        velto::audio::SilenceDetector detector(reader.SampleRate());
        detector.Feed(samples);
        if (detector.VoiceMs() > detector.JudgedMs() ||
            detector.SilenceMs() > detector.JudgedMs()) {
            std::abort();
        }
    }
    return 0;
}
