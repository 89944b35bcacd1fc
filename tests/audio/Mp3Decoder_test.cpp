#include "audio/Mp3Decoder.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "audio/BufferedReader.h"
#include "audio/DitheredScaler.h"
#include "audio/TelephoneRateConverter.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

using test::Le16At;
using test::Le32At;

class Mp3DecoderTest : public ::testing::Test {
  protected:
    void SetUp() override { VELTO_REQUIRE_TOOLS(); }

    // A sine tone encoded by lame; `lameMode` "m" gives a mono MP3, "j" joint stereo.
    std::filesystem::path MakeMp3(const std::string& name, int rate, int channels,
                                  const char* lameMode, double seconds = 1.0) {
        const auto wav = dir_ / (name + ".src.wav");
        const auto mp3 = dir_ / name;
        EXPECT_TRUE(test::Run("sox -n -r " + std::to_string(rate) + " -c " +
                              std::to_string(channels) + " -b 16 '" + wav.string() + "' synth " +
                              std::to_string(seconds) + " sine 440"));
        EXPECT_TRUE(test::Run(std::string("lame --quiet -m ") + lameMode + " '" + wav.string() +
                              "' '" + mp3.string() + "'"));
        return mp3;
    }

    velto::test::TempDir dir_;
    platform::TraceCapture quiet_;
};

TEST_F(Mp3DecoderTest, MonoMp3GivesAStereoWavWithEqualChannelsAndItsFirstFramesRate) {
    const auto mp3 = MakeMp3("mono.mp3", 44100, 1, "m");
    std::string status;
    DecodeStats stats;
    ASSERT_EQ(DecodeMp3(mp3, dir_ / "out.wav", true, status, {}, &stats), kDecodeOk);
    EXPECT_NE(status.find(" frames decoded (0:01."), std::string::npos) << status;
    EXPECT_EQ(status.substr(0, std::to_string(stats.frames).size() + 1),
              std::to_string(stats.frames) + " ");
    const std::string wav = velto::test::ReadFileBytes(dir_ / "out.wav");
    ASSERT_GT(wav.size(), 44u + 4 * 44100u / 2);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32At(wav, 4), wav.size() - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32At(wav, 16), 16u);
    EXPECT_EQ(Le16At(wav, 20), 1);
    EXPECT_EQ(Le16At(wav, 22), 2);
    EXPECT_EQ(Le32At(wav, 24), 44100u);
    EXPECT_EQ(Le32At(wav, 28), 176400u);
    EXPECT_EQ(Le16At(wav, 32), 4);
    EXPECT_EQ(Le16At(wav, 34), 16);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(Le32At(wav, 40), wav.size() - 44);
    EXPECT_EQ((wav.size() - 44) % 4, 0u);
    int loud = 0;
    for (size_t i = 44; i + 3 < wav.size(); i += 4) {
        ASSERT_EQ(Le16At(wav, i), Le16At(wav, i + 2)) << "frame at byte " << i;
        loud += static_cast<int16_t>(Le16At(wav, i)) > 10000;
    }
    EXPECT_GT(loud, 1000);  // a real sine, not silence

    // After conversion only the left channel remains.
    const auto r = ConvertToTelephoneRate(dir_ / "out.wav", dir_ / "tone.wav");
    EXPECT_TRUE(r.Usable());
    const std::string tone = velto::test::ReadFileBytes(dir_ / "tone.wav");
    const double x = 44100 / 16000.0;
    for (int i = 0; i < 16000; i += 997) {
        EXPECT_EQ(Le16At(tone, 44 + 2 * i), Le16At(wav, 44 + 4 * static_cast<size_t>(x * i)));
    }
}

// The last frame of a file needs the guard bytes after it to be decoded: without them one
// copy loses its last frame and two copies back to back lose only one, and a file of a
// single frame gives nothing at all.
TEST_F(Mp3DecoderTest, TheLastFrameIsDecodedToo) {
    const auto wav = dir_ / "short.src.wav";
    const auto mp3 = dir_ / "short.mp3";
    ASSERT_TRUE(test::Run("sox -n -r 44100 -c 1 -b 16 '" + wav.string() + "' synth 0.3 sine 440"));
    // No tag frame, constant bit rate: every frame is audio, each as long as its header says.
    ASSERT_TRUE(test::Run("lame --quiet -t --cbr -b 128 -m m '" + wav.string() + "' '" +
                          mp3.string() + "'"));
    const std::string bytes = velto::test::ReadFileBytes(mp3);
    velto::test::WriteFileBytes(dir_ / "twice.mp3", bytes + bytes);
    std::string status;
    DecodeStats once;
    DecodeStats twice;
    ASSERT_EQ(DecodeMp3(mp3, dir_ / "once.wav", true, status, {}, &once), kDecodeOk) << status;
    ASSERT_EQ(DecodeMp3(dir_ / "twice.mp3", dir_ / "twice.wav", true, status, {}, &twice),
              kDecodeOk);
    // 0.3 s is 13230 samples; lame adds its delay and padding, in frames of 1152.
    EXPECT_GE(once.frames, 12u);
    EXPECT_EQ(twice.frames, 2 * once.frames);
    EXPECT_EQ(velto::test::ReadFileBytes(dir_ / "once.wav").size(), 44 + once.frames * 1152 * 4);

    // The first frame alone: MPEG-1 layer III at 128 kbit/s and 44100 Hz is 417 bytes, one
    // more when the header's padding bit is set.
    ASSERT_GE(bytes.size(), 418u);
    ASSERT_EQ(static_cast<uint8_t>(bytes[0]), 0xFF);
    const size_t frameBytes = 144 * 128000 / 44100 + ((static_cast<uint8_t>(bytes[2]) >> 1) & 1);
    velto::test::WriteFileBytes(dir_ / "one.mp3", bytes.substr(0, frameBytes));
    DecodeStats one;
    ASSERT_EQ(DecodeMp3(dir_ / "one.mp3", dir_ / "one.wav", true, status, {}, &one), kDecodeOk)
        << status;
    EXPECT_EQ(one.frames, 1u);
    EXPECT_EQ(velto::test::ReadFileBytes(dir_ / "one.wav").size(), 44u + 1152 * 4);
    EXPECT_TRUE(ConvertToTelephoneRate(dir_ / "one.wav", dir_ / "one-tone.wav").Usable());
}

TEST_F(Mp3DecoderTest, SameInputGivesTheSameBytes) {
    const auto mp3 = MakeMp3("stereo.mp3", 48000, 2, "j", 2.0);
    std::string status;
    ASSERT_EQ(DecodeMp3(mp3, dir_ / "a.wav", true, status), kDecodeOk);
    ASSERT_EQ(DecodeMp3(mp3, dir_ / "b.wav", true, status), kDecodeOk);
    const std::string a = velto::test::ReadFileBytes(dir_ / "a.wav");
    EXPECT_EQ(a, velto::test::ReadFileBytes(dir_ / "b.wav"));
    EXPECT_EQ(Le32At(a, 24), 48000u);
    // Without write-WAV: the same PCM, no header.
    ASSERT_EQ(DecodeMp3(mp3, dir_ / "raw.pcm", false, status), kDecodeOk);
    EXPECT_EQ(velto::test::ReadFileBytes(dir_ / "raw.pcm"), a.substr(44));
}

TEST_F(Mp3DecoderTest, DamagedInputEndsInAStatusNotACrash) {
    const auto mp3 = MakeMp3("good.mp3", 44100, 2, "j");
    const std::string good = velto::test::ReadFileBytes(mp3);
    struct Case {
        const char* name;
        std::string bytes;
        bool framesExpected;
    };
    const Case cases[] = {
        {"truncated.mp3", good.substr(0, good.size() / 2 + 37), true},
        {"prefixed.mp3", std::string(5000, '\x5a') + good, true},
        {"tagjunk.mp3", "ID3\x04\x00\x00\x00\x00\x10\x00" + std::string(2048, '\xff') + good, true},
        {"text.mp3", "this is not an mp3 file at all\n", false},
        {"empty.mp3", "", false},
    };
    for (const Case& c : cases) {
        velto::test::WriteFileBytes(dir_ / c.name, c.bytes);
        std::string status;
        DecodeStats stats;
        const int result = DecodeMp3(dir_ / c.name, dir_ / "out.wav", true, status, {}, &stats);
        EXPECT_NE(result, kDecodeWriteFailed) << c.name;
        EXPECT_FALSE(status.empty()) << c.name;
        EXPECT_EQ(stats.frames > 0, c.framesExpected) << c.name << ": " << status;
        // Whatever happened, the output is a well-formed header over what was written.
        const std::string wav = velto::test::ReadFileBytes(dir_ / "out.wav");
        ASSERT_GE(wav.size(), 44u) << c.name;
        EXPECT_EQ(Le32At(wav, 40), wav.size() - 44) << c.name;
    }
}

TEST_F(Mp3DecoderTest, MissingFilesGiveTheStatusTexts) {
    std::string status;
    EXPECT_EQ(DecodeMp3(dir_ / "none.mp3", dir_ / "out.wav", true, status), kDecodeFailed);
    EXPECT_EQ(status, (dir_ / "none.mp3").string() + " not found!\n");
    velto::test::WriteFileBytes(dir_ / "in.mp3", "x");
    EXPECT_EQ(DecodeMp3(dir_ / "in.mp3", dir_ / "no/such/dir.wav", true, status), kDecodeFailed);
    EXPECT_EQ(status, "Couldn't open " + (dir_ / "no/such/dir.wav").string() + " for write!\n");
}

TEST(DitheredScaler, ExtremesScaleToTheSixteenBitLimits) {
    DitheredScaler scaler;
    EXPECT_EQ(scaler.state(), 0xA8B9FF7Eu);
    EXPECT_EQ(scaler.Scale(INT32_MAX), 32767);
    EXPECT_EQ(scaler.Scale(INT32_MIN), -32768);
    EXPECT_EQ(scaler.Scale(0x10000000), 32767);  // 1.0 clips
    // One step of the generator per sample.
    EXPECT_EQ(
        scaler.state(),
        ((0xA8B9FF7Eu * 1664525u + 1013904223u) * 1664525u + 1013904223u) * 1664525u + 1013904223u);
}

// The dither is 13 bits wide: on silence it moves a sample by at most one step. Values
// worked out by hand from the generator (state * 1664525 + 1013904223) and the rounding
// (add 4096 and the difference of the two states' low 13 bits, then drop 13 bits).
TEST(DitheredScaler, DitherMovesSilenceByOneStepAtMost) {
    EXPECT_EQ(DitheredScaler::ScaleWith(0, 0, 0), 0);                // 4096 >> 13
    EXPECT_EQ(DitheredScaler::ScaleWith(0, 0, 0x1FFF), 1);           // 12287 >> 13
    EXPECT_EQ(DitheredScaler::ScaleWith(0, 0x1FFF, 0), -1);          // -4095 >> 13
    EXPECT_EQ(DitheredScaler::ScaleWith(0, 0xFFFFE000, 0x1FFF), 1);  // high bits do not count
    EXPECT_EQ(DitheredScaler::ScaleWith(0x10000, 0, 0), 8);          // 69632 >> 13
    EXPECT_EQ(DitheredScaler::ScaleWith(40960, 0x1FFF, 0), 4);       // 36865 >> 13
    // From the initial state 0xA8B9FF7E: states 0xDCFB20C5, 0xB77B1B60, 0x46F7973F,
    // 0x426BBB92, 0xD9E5A5C9, 0xFDC77494.
    DitheredScaler scaler;
    const int16_t expected[] = {-1, 1, 0, 0, -1, 0};
    for (int16_t value : expected) {
        EXPECT_EQ(scaler.Scale(0), value);
    }
    EXPECT_EQ(scaler.state(), 0xFDC77494u);
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < 100000; ++i) {
        const int16_t v = scaler.Scale(0);
        ASSERT_GE(v, -1);
        ASSERT_LE(v, 1);
        ++counts[v + 1];
    }
    EXPECT_GT(counts[0], 0);
    EXPECT_GT(counts[1], 0);
    EXPECT_GT(counts[2], 0);
}

TEST(BufferedReader, KnowsItIsAtTheEndEvenAfterAFullRead) {
    velto::test::TempDir dir;
    // Exactly two read-ahead buffers: the last full read leaves nothing unread.
    velto::test::WriteFileBytes(dir / "f", std::string(2 * BufferedReader::kBufferSize, 'a'));
    std::FILE* f = std::fopen((dir / "f").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    BufferedReader reader(f);
    std::vector<char> into(3 * BufferedReader::kBufferSize);
    EXPECT_EQ(reader.Read(into.data(), 1, 100), 100u);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.Read(into.data(), 1, 2 * BufferedReader::kBufferSize - 100),
              2 * BufferedReader::kBufferSize - 100);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Read(into.data(), 1, 10), 0u);
    EXPECT_EQ(reader.error(), 0);  // end of file, not an error
    EXPECT_EQ(reader.Read(into.data(), 1, 0), 0u);
    EXPECT_EQ(reader.error(), EINVAL);
    EXPECT_EQ(reader.Read(nullptr, 1, 1), 0u);
    EXPECT_EQ(reader.error(), EFAULT);
    std::fclose(f);
}

}  // namespace
}  // namespace velto::audio
