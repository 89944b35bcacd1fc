#include "audio/RecordingReader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"

namespace velto::audio {
namespace {

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

// A PCM header declaring `dataBytes` (what a writer that lags behind has put there).
std::string Header(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes) {
    const uint32_t frame = channels * bits / 8u;
    return "RIFF" + Le(36 + dataBytes, 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(channels, 2) +
           Le(rate, 4) + Le(rate * frame, 4) + Le(frame, 2) + Le(bits, 2) + "data" +
           Le(dataBytes, 4);
}

std::string Samples(std::initializer_list<int16_t> values) {
    std::string out;
    for (int16_t value : values) {
        out += Le(static_cast<uint16_t>(value), 2);
    }
    return out;
}

void Write(const std::filesystem::path& file, const std::string& bytes, bool append = false) {
    std::ofstream(file, std::ios::binary | (append ? std::ios::app : std::ios::trunc)) << bytes;
}

// A growing file is read to its end whatever its header says, in whole frames, each sample
// once; the finished one (moved elsewhere) only as far as its header says.
TEST(RecordingReader, ReadsWhatTheWriterAddedEachSampleOnce) {
    velto::test::TempDir dir;
    const auto growing = dir / "recording.wav";
    Write(growing, std::string(44, '\0'));  // the header still blank
    RecordingReader reader;
    std::vector<int16_t> out;
    std::string error;
    EXPECT_FALSE(reader.Read(growing, true, out, error));
    EXPECT_FALSE(error.empty());

    Write(growing, Header(1, 8000, 16, 2) + Samples({1}));
    Write(growing, Samples({2, 3}) + "\x04", true);  // half a sample at the end
    ASSERT_TRUE(reader.Read(growing, true, out, error)) << error;
    EXPECT_EQ(out, (std::vector<int16_t>{1, 2, 3}));
    EXPECT_EQ(reader.SampleRate(), 8000u);

    Write(growing, std::string("\x00", 1) + Samples({5, 6}), true);
    const auto finished = dir / "message.wav";
    std::filesystem::rename(growing, finished);
    Write(finished, Header(1, 8000, 16, 5 * 2), false);
    Write(finished, Samples({1, 2, 3, 4, 5, 6}), true);  // one more than its header has
    ASSERT_TRUE(reader.Read(finished, false, out, error)) << error;
    EXPECT_EQ(out, (std::vector<int16_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(reader.FramesRead(), 5u);
}

// Two channels are mixed; 8-bit samples are widened; a changed rate is refused.
TEST(RecordingReader, MixesChannelsWidensBytesAndRefusesAnotherRate) {
    velto::test::TempDir dir;
    const auto stereo = dir / "stereo.wav";
    Write(stereo, Header(2, 16000, 16, 8) + Samples({100, 300, -50, -150}));
    RecordingReader reader;
    std::vector<int16_t> out;
    std::string error;
    ASSERT_TRUE(reader.Read(stereo, false, out, error)) << error;
    EXPECT_EQ(out, (std::vector<int16_t>{200, -100}));

    Write(stereo, Header(1, 8000, 16, 2) + Samples({1}));
    EXPECT_FALSE(reader.Read(stereo, false, out, error));
    EXPECT_EQ(error, "the recording's sample rate changed");

    const auto bytes = dir / "bytes.wav";
    Write(bytes, Header(1, 8000, 8, 3) + std::string("\x80\xff\x00", 3));
    RecordingReader narrow;
    out.clear();
    ASSERT_TRUE(narrow.Read(bytes, false, out, error)) << error;
    EXPECT_EQ(out, (std::vector<int16_t>{0, 127 * 256, -128 * 256}));
}

}  // namespace
}  // namespace velto::audio
