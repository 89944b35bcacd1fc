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
