// The greeting recorder on a microphone the test speaks into, on a virtual clock: the take
// saved as a WAV file that Python's own reader agrees with, the longest take ended by the
// clock, and nothing written unless saved.
#include "audio/GreetingRecorder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/FakeSoundInput.h"
#include "support/PythonWav.h"
#include "support/RealTimeLimit.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

namespace fs = std::filesystem;
using platform::Millis;

constexpr size_t kBlock = 1600;  // 100 ms at 16 kHz

std::vector<int16_t> Block(int16_t first) {
    std::vector<int16_t> block(kBlock);
    for (size_t i = 0; i < kBlock; ++i) {
        block[i] = static_cast<int16_t>(first + static_cast<int16_t>(i % 1000));
    }
    return block;
}

class GreetingRecorderTest : public ::testing::Test {
  protected:
    // `blocks` blocks of 100 ms, each followed by its time on the clock.
    void Speak(int blocks) {
        for (int i = 0; i < blocks; ++i) {
            input_.Say(Block(static_cast<int16_t>(i)));
            clock_.Advance(Millis(100));
        }
    }

    // A watcher that never ends the take would leave WaitUntilStopped waiting for good.
    velto::test::RealTimeLimit limit_{std::chrono::seconds(20), "GreetingRecorderTest"};
    GreetingRecorderTest() { trace_.set_echo(false); }

    velto::test::TempDir dir_;
    platform::TraceCapture trace_;
    platform::VirtualClock clock_{false};
    velto::test::FakeSoundInput input_{clock_};
};

TEST_F(GreetingRecorderTest, ASavedTakeIsItsSamplesUnderAHeaderThatAnIndependentReaderAgreesWith) {
    GreetingRecorder recorder(clock_, input_);
    int changes = 0;
    ASSERT_EQ(recorder.Start([&] { ++changes; }), platform::InputStart::Started);
    EXPECT_TRUE(recorder.Recording());
    Speak(25);
    EXPECT_EQ(recorder.Elapsed(), Millis(2500));
    // The last block's loudest sample was 24 + 999.
    EXPECT_DOUBLE_EQ(recorder.Level(), (24 + 999) / 32768.0);
    EXPECT_FALSE(recorder.HasTake());
    EXPECT_EQ(recorder.Save(dir_ / "early.wav"), "nothing recorded");
    recorder.Stop();
    EXPECT_FALSE(input_.Capturing());
    EXPECT_EQ(changes, 25 + 1);  // each block, and the end
    EXPECT_EQ(recorder.Elapsed(), Millis(2500));
    EXPECT_TRUE(recorder.HasTake());

    const fs::path target = dir_ / "folder" / "AnswerMachine.wav";
    ASSERT_EQ(recorder.Save(target), "");
    EXPECT_EQ(velto::test::PythonWavReading(target), "40000 16000 1 2 True\n");
    const std::string bytes = velto::test::ReadFileBytes(target);
    ASSERT_EQ(bytes.size(), 44u + 80000u);
    // Block 3's sample 7, little-endian, at its place after the header.
    const size_t at = 44 + 2 * (3 * kBlock + 7);
    EXPECT_EQ(static_cast<uint8_t>(bytes[at]), 3 + 7);
    EXPECT_EQ(static_cast<uint8_t>(bytes[at + 1]), 0);
    EXPECT_FALSE(fs::exists(dir_ / "early.wav"));
    // Only the file itself is left in the folder: the temporary file became it.
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()),
              1);
}

TEST_F(GreetingRecorderTest, TheClockEndsTheLongestTakeAndAFastDeviceCannotMakeItLonger) {
    GreetingRecorder recorder(clock_, input_, Millis(60000));
    ASSERT_EQ(recorder.Start({}), platform::InputStart::Started);
    Speak(599);
    EXPECT_TRUE(recorder.Recording());
    // A device running fast: more samples than time; the last second's worth is too much.
    for (int i = 0; i < 15; ++i) {
        input_.Say(Block(0));
    }
    EXPECT_EQ(recorder.Elapsed(), Millis(59900));
    clock_.Advance(Millis(100));
    ASSERT_TRUE(input_.WaitUntilStopped(Millis(1000)));
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(recorder.Elapsed(), Millis(60000));
    EXPECT_TRUE(trace_.Contains("the longest take (60 s) is reached"));
    clock_.Advance(Millis(5000));
    EXPECT_EQ(recorder.Elapsed(), Millis(60000));
    const std::string wav = recorder.TakeWav();
    EXPECT_EQ(wav.size(), 44u + 60u * 32000u);
}

TEST_F(GreetingRecorderTest, NothingIsWrittenWithoutSaveAndANewTakeReplacesTheLast) {
    const fs::path target = dir_ / "AnswerMachine.wav";
    velto::test::WriteFileBytes(target, "the old greeting");
    {
        GreetingRecorder recorder(clock_, input_);
        ASSERT_EQ(recorder.Start({}), platform::InputStart::Started);
        Speak(10);
        recorder.Stop();
        ASSERT_EQ(recorder.Start({}), platform::InputStart::Started);
        EXPECT_FALSE(recorder.HasTake());
        EXPECT_EQ(recorder.Elapsed(), Millis(0));
        Speak(3);
        recorder.Stop();
        EXPECT_EQ(recorder.TakeWav().size(), 44u + 3 * kBlock * 2);
        // Dropped unsaved, as Cancel does; one still running is stopped.
        ASSERT_EQ(recorder.Start({}), platform::InputStart::Started);
        Speak(2);
    }
    EXPECT_FALSE(input_.Capturing());
    EXPECT_EQ(velto::test::ReadFileBytes(target), "the old greeting");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

TEST_F(GreetingRecorderTest, NoMicrophoneNoTakeAndAFailedSaveLeavesTheTargetAlone) {
    velto::test::FakeSoundInput none(clock_, false);
    GreetingRecorder without(clock_, none);
    EXPECT_FALSE(without.HasDevice());
    EXPECT_EQ(without.Start({}), platform::InputStart::NoDevice);
    EXPECT_FALSE(without.Recording());
    EXPECT_FALSE(without.HasTake());

    GreetingRecorder recorder(clock_, input_);
    ASSERT_EQ(recorder.Start({}), platform::InputStart::Started);
    Speak(1);
    recorder.Stop();
    // A folder where the file should go: refused with the system's reason, folder kept.
    fs::create_directories(dir_ / "taken" / "inside");
    EXPECT_NE(recorder.Save(dir_ / "taken"), "");
    EXPECT_TRUE(fs::is_directory(dir_ / "taken" / "inside"));
}

}  // namespace
}  // namespace velto::audio
