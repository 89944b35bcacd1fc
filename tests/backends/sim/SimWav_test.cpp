#include "backends/sim/SimWav.h"

#include <gtest/gtest.h>

#include "SimFixture.h"
#include "backends/sim/HeardTimeline.h"
#include "support/TempDir.h"

namespace velto::skype::sim {
namespace {

using platform::Millis;

TEST(SimWav, WrittenFileReadsBackWithItsDurationAndSamples) {
    velto::test::TempDir dir;
    test::WriteTone(dir / "t.wav", 1250, 7);
    auto bytes = velto::test::ReadFileBytes(dir / "t.wav");
    auto info = ParseWav(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format, 1);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->sampleRate, 16000u);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_EQ(info->dataBytes, 1250u * 32);
    EXPECT_EQ(bytes.size(), 44u + 1250 * 32);
    EXPECT_EQ(WavFileDuration(dir / "t.wav"), Millis(1250));
    auto samples = ReadVoiceSamples(dir / "t.wav");
    ASSERT_TRUE(samples);
    EXPECT_EQ((*samples)[0], 7);
    EXPECT_EQ((*samples)[999], 7 + 999);
}

TEST(SimWav, BadOrShortFilesPlayForNoTime) {
    velto::test::TempDir dir;
    EXPECT_EQ(WavFileDuration(dir / "missing.wav"), Millis(0));
    velto::test::WriteFileBytes(dir / "junk.wav", "RIFF\x10\0\0\0WAVEjunk");
    EXPECT_EQ(WavFileDuration(dir / "junk.wav"), Millis(0));

    std::string error;
    EXPECT_FALSE(ParseWav("RIFX....WAVE", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ParseWav(std::string("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0", 22), &error));

    // A format chunk needs its 16 bytes, announced and present: 15 of either are too few.
    test::WriteTone(dir / "fmt.wav", 10);
    const std::string tone = velto::test::ReadFileBytes(dir / "fmt.wav");
    std::string fifteen = tone;
    fifteen[16] = 15;
    EXPECT_FALSE(ParseWav(fifteen, &error));
    EXPECT_EQ(error, "format chunk too short");
    EXPECT_FALSE(ParseWav(tone.substr(0, 20 + 15), &error));
    EXPECT_EQ(error, "format chunk too short");
    EXPECT_FALSE(ParseWav(tone.substr(0, 20 + 16), &error));
    EXPECT_EQ(error, "no data chunk");
    ASSERT_TRUE(ParseWav(tone.substr(0, 44)));
    EXPECT_EQ(ParseWav(tone.substr(0, 44))->dataBytes, 0u);

    // A data size larger than the file: only what is there plays.
    test::WriteTone(dir / "cut.wav", 1000);
    std::string bytes = velto::test::ReadFileBytes(dir / "cut.wav");
    velto::test::WriteFileBytes(dir / "cut.wav", bytes.substr(0, 44 + 500 * 32));
    EXPECT_EQ(WavFileDuration(dir / "cut.wav"), Millis(500));

    // Not the form a caller's voice must have.
    std::string stereo = bytes;
    stereo[22] = 2;
    velto::test::WriteFileBytes(dir / "stereo.wav", stereo);
    EXPECT_FALSE(ReadVoiceSamples(dir / "stereo.wav", &error));
    EXPECT_NE(error.find("mono"), std::string::npos);
}

TEST(HeardTimeline, LongestGapIgnoresOverlapsAndCountsSilence) {
    std::vector<HeardSegment> segments{
        {"a", Millis(0), Millis(1000)},
        {"a", Millis(1001), Millis(2001)},
        {"b", Millis(1500), Millis(2500)},  // overlaps: no silence
        {"a", Millis(2507), Millis(3000)},
    };
    EXPECT_EQ(LongestGap(segments), Millis(7));
    EXPECT_EQ(HeardTime(segments), Millis(1000 + 1499 + 493));
    EXPECT_EQ(LongestGap({}), Millis(0));
    EXPECT_EQ(LongestGap({{"a", Millis(5), Millis(9)}}), Millis(0));
}

}  // namespace
}  // namespace velto::skype::sim
