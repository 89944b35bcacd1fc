#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// Sound files of known frequency, and what frequency a recorded sound holds.
namespace velto::test {

struct Pcm {
    int rate = 0;
    std::vector<int16_t> samples;

    double Seconds() const { return rate > 0 ? double(samples.size()) / rate : 0.0; }
};

// A 16-bit mono WAV file of a sine at `hz` (0: silence).
void WriteSine(const std::filesystem::path& path, int rate, double hz, double seconds);
// A voice as the answering machine hears one: silence until `fromSeconds`, the sine in
// syllables (400 ms, then a 100-ms pause) for `talkSeconds`, then silence up to `seconds` (a
// steady sine would be a steady noise on the line, no voice).
void WriteSpeech(const std::filesystem::path& path, int rate, double hz, double seconds,
                 double talkSeconds, double fromSeconds = 0);
// The samples of a 16-bit mono WAV file. A file still being written (its sizes not yet
// filled in) counts up to its end.
std::optional<Pcm> ReadPcm(const std::filesystem::path& path);

// The share of the energy of samples [from, to) seconds that lies at `hz` (0..1).
double ShareAt(const Pcm& pcm, double hz, double from, double to);
// Seconds of 100 ms windows in which `hz` holds at least `share` of a sound that is not
// silence.
double SecondsOf(const Pcm& pcm, double hz, double share = 0.8);
// Start of the first 100 ms window in which `hz` holds at least `share` of a sound.
std::optional<double> FirstTimeOf(const Pcm& pcm, double hz, double share = 0.8);
// Start of the first 20 ms window that is not silence, or nothing.
std::optional<double> FirstSound(const Pcm& pcm);

}  // namespace velto::test
