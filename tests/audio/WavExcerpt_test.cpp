#include "audio/WavExcerpt.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "support/PythonWav.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

// A recording whose header claims more than it holds (a writer that counted wrongly): the
// copy saved holds what is there, under sizes Python's reader agrees with; a copy from a
// later point starts at the frame of that point.
TEST(WavExcerpt, SavedCopiesHoldTheSamplesPresentUnderRightSizes) {
    velto::test::TempDir dir;
    std::vector<int16_t> samples(2 * 8000 * 3);  // 3 s of 8 kHz stereo
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(i);
    }
    std::string wav = test::MakeWav(8000, 2, samples);
    wav[40] = wav[41] = wav[42] = '\x7f';  // the data size far beyond the file
    velto::test::WriteFileBytes(dir / "source.wav", wav);

    ASSERT_EQ(SaveWavFrom(dir / "source.wav", 0, dir / "missing" / "whole.wav"),
              "No such file or directory");
    EXPECT_EQ(SaveWavFrom(dir / "source.wav", 0, dir / "whole.wav"), "");
    EXPECT_EQ(velto::test::ReadFileBytes(dir / "whole.wav"), test::MakeWav(8000, 2, samples));
    EXPECT_EQ(velto::test::PythonWavReading(dir / "whole.wav"), "24000 8000 2 2 True\n");

    // 1.5 s in at 32,000 bytes a second: byte 48,000, frame 12,000.
    ASSERT_EQ(SaveWavFrom(dir / "source.wav", 1500, dir / "rest.wav"), "");
    EXPECT_EQ(velto::test::PythonWavReading(dir / "rest.wav"), "12000 8000 2 2 True\n");
    EXPECT_EQ(test::SamplesOf(velto::test::ReadFileBytes(dir / "rest.wav")).front(), 24000);
    // A point beyond the end leaves a valid empty sound.
    ASSERT_EQ(SaveWavFrom(dir / "source.wav", 60000, dir / "none.wav"), "");
    EXPECT_EQ(velto::test::PythonWavReading(dir / "none.wav"), "0 8000 2 2 True\n");
    // Saving over an existing file replaces it whole; nothing else is left in the folder.
    ASSERT_EQ(SaveWavFrom(dir / "source.wav", 1500, dir / "whole.wav"), "");
    EXPECT_EQ(velto::test::PythonWavReading(dir / "whole.wav"), "12000 8000 2 2 True\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);

    velto::test::WriteFileBytes(dir / "junk.wav", "RIFF....WAVEjunk");
    EXPECT_FALSE(SaveWavFrom(dir / "junk.wav", 0, dir / "junk-copy.wav").empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "junk-copy.wav"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5);
}

}  // namespace
}  // namespace velto::audio
