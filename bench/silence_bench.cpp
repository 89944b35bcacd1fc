// The silence detector's cost per call: a message of the longest default length (five
// minutes at 16000 samples per second), judged as the answering machine judges it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "audio/SilenceDetector.h"
#include "calls/MessageVoice.h"

namespace {

using namespace velto;

constexpr uint32_t kRate = 16000;
constexpr int kSeconds = 300;

// Syllables of a 300 Hz sine over a faint line noise.
std::vector<int16_t> Speech(int seconds) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds) * kRate);
    uint32_t seed = 1;
    for (size_t i = 0; i < samples.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = double(seed >> 16) / 65536.0 * 60 - 30;
        const bool talk = i % (kRate / 2) < kRate * 2 / 5;
        const double voice = talk ? 6000 * std::sin(2 * std::numbers::pi * 300 * i / kRate) : 0;
        samples[i] = static_cast<int16_t>(std::lround(voice + noise));
    }
    return samples;
}

// The detector alone over the five minutes, fed in the quarter seconds the machine reads.
void BM_DetectorPerCall(benchmark::State& state) {
    const std::vector<int16_t> samples = Speech(kSeconds);
    const std::span<const int16_t> all(samples);
    for (auto _ : state) {
        audio::SilenceDetector detector(kRate);
        for (size_t at = 0; at < all.size(); at += kRate / 4) {
            detector.Feed(all.subspan(at, std::min<size_t>(kRate / 4, all.size() - at)));
        }
        benchmark::DoNotOptimize(detector.VoiceMs());
    }
    state.counters["audio_s"] = kSeconds;
}
BENCHMARK(BM_DetectorPerCall)->Unit(benchmark::kMillisecond);

// What the machine does per call: every quarter second, the new part of the recording read
// from its file and judged. The file grows a quarter second at a time as a recorder writes
// it (a header, then samples); the writing is not timed.
void BM_MachineLooksPerCall(benchmark::State& state) {
    const std::vector<int16_t> samples = Speech(kSeconds);
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("silence_bench." + std::to_string(getpid()) + ".wav");
    const std::string header = std::string("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0", 24) +
                               std::string("\x80\x3e\0\0\0\x7d\0\0\x02\0\x10\0data\0\0\0\0", 20);
    constexpr size_t kStep = kRate / 4;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << header << std::flush;
        state.ResumeTiming();
        calls::MessageVoice voice;
        for (size_t at = 0; at < samples.size(); at += kStep) {
            state.PauseTiming();
            out.write(reinterpret_cast<const char*>(samples.data() + at),
                      static_cast<std::streamsize>(std::min(kStep, samples.size() - at) * 2));
            out.flush();
            state.ResumeTiming();
            voice.Update(file, true, platform::Millis(0));
        }
        benchmark::DoNotOptimize(voice.VoiceMs());
    }
    std::filesystem::remove(file);
    state.counters["audio_s"] = kSeconds;
}
BENCHMARK(BM_MachineLooksPerCall)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
