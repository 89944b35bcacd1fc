// Tone conversion against libmad's own decoding time. The MP3 comes from the environment
// (VELTO_BENCH_MP3), made by bench/convert_bench.sh.
#include <benchmark/benchmark.h>
#include <mad.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/ConvertingThread.h"
#include "audio/ToneConversion.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/StopSignal.h"
#include "platform/TempFile.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace {

namespace fs = std::filesystem;
using namespace velto;

fs::path Input() {
    const char* path = std::getenv("VELTO_BENCH_MP3");
    return path != nullptr ? fs::path(path) : fs::path();
}

// libmad alone: frame decoding and synthesis of the whole file held in memory.
void BM_MadDecodeOnly(benchmark::State& state) {
    std::ifstream in(Input(), std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.empty()) {
        state.SkipWithError("set VELTO_BENCH_MP3");
        return;
    }
    bytes.resize(bytes.size() + MAD_BUFFER_GUARD, 0);
    for (auto _ : state) {
        mad_stream stream;
        mad_frame frame;
        mad_synth synth;
        mad_stream_init(&stream);
        mad_frame_init(&frame);
        mad_synth_init(&synth);
        mad_stream_buffer(&stream, bytes.data(), bytes.size());
        unsigned long frames = 0;
        for (;;) {
            if (mad_frame_decode(&frame, &stream) != 0) {
                if (MAD_RECOVERABLE(stream.error)) {
                    continue;
                }
                break;
            }
            mad_synth_frame(&synth, &frame);
            benchmark::DoNotOptimize(synth.pcm.samples[0][0]);
            ++frames;
        }
        mad_synth_finish(&synth);
        mad_frame_finish(&frame);
        mad_stream_finish(&stream);
        state.counters["frames"] = static_cast<double>(frames);
    }
}
BENCHMARK(BM_MadDecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// What velto-convert does: the decoder's samples straight into the converter.
void BM_MakeToneDirect(benchmark::State& state) {
    const fs::path tmp = fs::temp_directory_path();
    platform::TraceCapture quiet;
    for (auto _ : state) {
        const auto out = platform::CreateTempFile(tmp);
        platform::TempFileGuard guard(*out);
        const auto report = audio::MakeToneDirect(Input(), true, *out);
        if (!report.Usable()) {
            state.SkipWithError("conversion failed");
            return;
        }
    }
}
BENCHMARK(BM_MakeToneDirect)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two-step reference: decode to a scratch WAV, then bring it to telephone rate.
void BM_MakeTone(benchmark::State& state) {
    const fs::path tmp = fs::temp_directory_path();
    platform::TraceCapture quiet;
    for (auto _ : state) {
        const auto scratch = platform::CreateTempFile(tmp);
        const auto out = platform::CreateTempFile(tmp);
        platform::TempFileGuard g1(*scratch), g2(*out);
        const auto report = audio::MakeTone(Input(), true, *scratch, *out);
        if (!report.Usable()) {
            state.SkipWithError("conversion failed");
            return;
        }
    }
}
BENCHMARK(BM_MakeTone)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole job of a user's pick: copies, temporary files, tone folder.
void BM_ConvertingThread(benchmark::State& state) {
    const fs::path root = fs::temp_directory_path() / "velto-tone-bench";
    fs::create_directories(root / "tmp");
    fs::create_directories(root / "data" / "me");
    platform::WindowManager windows;
    platform::RealClock clock;
    platform::MessageLoop loop(clock);
    platform::StopSignal stop(clock);
    core::SharedState shared;
    shared.UserDataDir.Set((root / "data").string());
    shared.MyHandle.Set("me");
    platform::TraceCapture quiet;
    for (auto _ : state) {
        auto job = std::make_shared<audio::ConvertingThread>(
            audio::ConvertingContext{windows, loop, shared, root / "tmp", {}},
            platform::Utf8ToUtf16(Input().string()), 0);
        job->Run(stop);
        loop.ProcessPending();  // the owner's part: the result
        if (!job->Succeeded()) {
            state.SkipWithError("conversion failed");
            break;
        }
        fs::remove(platform::Utf16ToUtf8(job->ResultPath()));
    }
    fs::remove_all(root);
}
BENCHMARK(BM_ConvertingThread)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
