// The WAV duration reader over arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "audio/WavDuration.h"
#include "platform/Trace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velto::platform::TraceCapture quiet;
    velto::audio::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    velto::audio::WavDurationMs(source, "fuzz.wav");
    return 0;
}
