#include "audio/WavDuration.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

std::optional<uint32_t> Duration(const std::string& bytes, platform::TraceCapture& trace) {
    trace.Clear();
    MemorySource source(bytes);
    return WavDurationMs(source, "f.wav");
}

void Set32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s[at + i] = static_cast<char>(v >> (8 * i));
    }
}

TEST(WavDuration, IsTheDataSizeOverTheBytesPerSecond) {
    platform::TraceCapture trace;
    // 32000 bytes per second (16000 Hz mono), 64000 bytes of data.
    std::string wav = test::MakeWav(16000, 1, std::vector<int16_t>(32000));
    EXPECT_EQ(Duration(wav, trace), 2000u);
    // Only the header counts; chunks before "data" are skipped (odd sizes padded).
    std::string withList =
        wav.substr(0, 36) + "LIST" + std::string("\x03\0\0\0abc\0", 8) + wav.substr(36);
    EXPECT_EQ(Duration(withList, trace), 2000u);
    // 64-bit product, truncated to 32 bits at the end.
    Set32(wav, 40, 0xFFFFFFFFu);
    EXPECT_EQ(Duration(wav, trace), static_cast<uint32_t>(0xFFFFFFFFull * 1000 / 32000));
}

TEST(WavDuration, DamagedFilesAreReportedNotFatal) {
    platform::TraceCapture trace;
    const std::string wav = test::MakeWav(8000, 1, std::vector<int16_t>(800));

    EXPECT_FALSE(Duration("RIFF", trace));
    EXPECT_TRUE(
        trace.Contains("Unable to find RIFF section in .WAV file, possible file format "
                       "error: 109\n"));

    std::string notWave = wav;
    notWave.replace(8, 4, "AVI ");
    EXPECT_FALSE(Duration(notWave, trace));
    EXPECT_EQ(trace.Text(), "RIFF file f.wav is not a WAVE file, possible file format error\n");

    EXPECT_FALSE(Duration(wav.substr(0, 12), trace));
    EXPECT_TRUE(trace.Contains("Unable to find FMT section in RIFF file"));

    // A 12-byte format chunk is not read: format 0.
    std::string shortFmt =
        wav.substr(0, 16) + std::string("\x0c\0\0\0", 4) + wav.substr(20, 12) + wav.substr(36);
    EXPECT_FALSE(Duration(shortFmt, trace));
    EXPECT_EQ(trace.Text(), "WAVE file f.wav is not a PCM format file, it's a 0 format file\n");

    // 13 bytes are still not read; 14 are, and hold the bytes per second. A chunk longer
    // than the 40 bytes read is passed over whole (with its pad byte).
    const auto withFormat = [&](size_t size) {
        std::string chunk = wav.substr(20, 16);
        chunk.resize(size, '\0');
        std::string sized = wav.substr(0, 16) + std::string(4, '\0') + chunk +
                            std::string(size % 2, '\0') + wav.substr(36);
        Set32(sized, 16, static_cast<uint32_t>(size));
        return sized;
    };
    EXPECT_FALSE(Duration(withFormat(13), trace));
    EXPECT_EQ(trace.Text(), "WAVE file f.wav is not a PCM format file, it's a 0 format file\n");
    EXPECT_EQ(Duration(withFormat(14), trace), 100u);  // 1,600 bytes at 16,000 a second
    EXPECT_EQ(Duration(withFormat(40), trace), 100u);
    EXPECT_EQ(Duration(withFormat(41), trace), 100u);

    std::string adpcm = wav;
    adpcm[20] = 2;
    EXPECT_FALSE(Duration(adpcm, trace));
    EXPECT_TRUE(trace.Contains("it's a 2 format file\n"));

    EXPECT_FALSE(Duration(wav.substr(0, 30), trace));
    EXPECT_EQ(trace.Text(), "Read error reading WAVE format from file\n");

    EXPECT_FALSE(Duration(wav.substr(0, 36), trace));
    EXPECT_TRUE(trace.Contains("Unable to find DATA section in RIFF file"));

    std::string noRate = wav;
    Set32(noRate, 28, 0);
    EXPECT_FALSE(Duration(noRate, trace));

    velto::test::TempDir dir;
    trace.Clear();
    EXPECT_FALSE(WavDurationMs(dir / "missing.wav"));
    EXPECT_EQ(trace.Text(), "Unable to open " + (dir / "missing.wav").string() + ": 101\n");
}

}  // namespace
}  // namespace velto::audio
