#include "audio/SoundPlayer.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "core/Messages.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/RealTimeLimit.h"
#include "support/RecordingSoundOutput.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

using platform::Millis;

struct Heard {
    platform::WindowHandle window;
    platform::WParam value;
    Millis at;
};

class Listener : public platform::MessageTarget {
  public:
    Listener(platform::Clock& clock, std::vector<Heard>& heard) : clock_(clock), heard_(heard) {}
    platform::LResult OnMessage(uint32_t message, platform::WParam w, platform::LParam l) override {
        EXPECT_EQ(message, core::WM_SOUND_FINISHED);
        EXPECT_EQ(l, 0);
        heard_.push_back({window, w, clock_.Now()});
        return 0;
    }
    platform::WindowHandle window = 0;

  private:
    platform::Clock& clock_;
    std::vector<Heard>& heard_;
};

class SoundPlayerTest : public ::testing::Test {
  protected:
    SoundPlayerTest()
        : output_(std::make_unique<velto::test::RecordingSoundOutput>(clock_)),
          loop_(clock_),
          workers_(clock_),
          player_(clock_, *output_, windows_),
          first_(clock_, heard_),
          second_(clock_, heard_) {
        first_.window = windows_.Create(loop_, first_);
        second_.window = windows_.Create(loop_, second_);
        player_.Start(workers_);
    }

    // A 16 kHz mono WAV of `ms` milliseconds.
    std::filesystem::path Sound(const std::string& name, int ms) {
        const auto path = dir_ / name;
        velto::test::WriteFileBytes(path, test::MakeWav(16000, 1, std::vector<int16_t>(16 * ms)));
        return path;
    }

    bool WaitForHeard(size_t count) {
        return loop_.RunUntil([&] { return heard_.size() >= count; }, Millis(60000));
    }

    velto::test::RealTimeLimit limit_{std::chrono::seconds(30), "SoundPlayerTest"};
    velto::test::TempDir dir_;
    platform::VirtualClock clock_;
    std::unique_ptr<velto::test::RecordingSoundOutput> output_;
    platform::MessageLoop loop_;
    platform::WindowManager windows_;
    platform::Workers workers_;
    SoundPlayer player_;
    std::vector<Heard> heard_;
    Listener first_;
    Listener second_;
    platform::TraceCapture quiet_;
};

TEST_F(SoundPlayerTest, NotifiesItsWindowWhenTheSoundHasRunItsLength) {
    const Millis start = clock_.Now();
    player_.Play(Sound("a.wav", 1500), first_.window, 1092);
    ASSERT_TRUE(WaitForHeard(1));
    EXPECT_EQ(heard_[0].window, first_.window);
    EXPECT_EQ(heard_[0].value, 1092u);
    EXPECT_EQ(heard_[0].at - start, Millis(1500));
    // The player posts first and then turns idle, so idle may follow the message a moment
    // later.
    EXPECT_TRUE(loop_.RunUntil([&] { return player_.IsIdle(); }, Millis(1000)));
    // Stop when idle returns at once and posts nothing.
    player_.Stop();
    loop_.ProcessPending();
    EXPECT_EQ(heard_.size(), 1u);
}

TEST_F(SoundPlayerTest, PlayWhilePlayingStopsTheFirstAndNotifiesItsWindowFirst) {
    const Millis start = clock_.Now();
    player_.Play(Sound("long.wav", 10000), first_.window, 1);
    EXPECT_TRUE(output_->IsPlaying() || !player_.IsIdle());
    player_.Play(Sound("short.wav", 500), second_.window, 2);
    ASSERT_TRUE(WaitForHeard(2));
    EXPECT_EQ(heard_[0].window, first_.window);
    EXPECT_EQ(heard_[0].value, 1u);
    EXPECT_LT(heard_[0].at - start, Millis(10000));
    EXPECT_EQ(heard_[1].window, second_.window);
    EXPECT_EQ(heard_[1].value, 2u);
    EXPECT_EQ(heard_[1].at - heard_[0].at, Millis(500));
    // What the user heard: the long sound cut short, then the short one whole. The output
    // reports the end on its own thread, at the same moment as the player's message.
    const auto ended = [&] {
        const auto segments = output_->Segments();
        return segments.size() == 2 && segments[1].end.has_value();
    };
    ASSERT_TRUE(loop_.RunUntil(ended, Millis(1000)));
    const auto played = output_->Segments();
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].file.filename(), "long.wav");
    EXPECT_FALSE(played[0].completed);
    EXPECT_LE(played[0].end, heard_[0].at);
    EXPECT_EQ(played[1].file.filename(), "short.wav");
    EXPECT_TRUE(played[1].completed);
    ASSERT_TRUE(played[1].end);
    EXPECT_EQ(*played[1].end - played[1].start, Millis(500));
}

// A device that fails with an exception is a sound of no length: the window is told at
// once and the player takes the next sound as usual.
TEST_F(SoundPlayerTest, AnOutputThatThrowsStillNotifiesAndThePlayerGoesOn) {
    output_->SetBeforePlay([](const std::filesystem::path& file) {
        throw std::filesystem::filesystem_error("open", file,
                                                std::make_error_code(std::errc::io_error));
    });
    const Millis start = clock_.Now();
    player_.Play(Sound("a.wav", 1500), first_.window, 7);
    ASSERT_TRUE(WaitForHeard(1));
    EXPECT_EQ(heard_[0].value, 7u);
    EXPECT_EQ(heard_[0].at, start);
    EXPECT_TRUE(quiet_.Contains("SoundPlayer: cannot play " + (dir_ / "a.wav").string()));
    output_->SetBeforePlay({});
    player_.Play(Sound("b.wav", 200), first_.window, 8);
    ASSERT_TRUE(WaitForHeard(2));
    EXPECT_EQ(heard_[1].at - heard_[0].at, Millis(200));
    player_.Stop();
    EXPECT_TRUE(player_.IsIdle());
    ASSERT_EQ(output_->Segments().size(), 1u);
}

TEST_F(SoundPlayerTest, StopWaitsForTheNotification) {
    player_.Play(Sound("a.wav", 10000), first_.window, 5);
    player_.Stop();
    EXPECT_TRUE(player_.IsIdle());
    EXPECT_FALSE(output_->IsPlaying());
    EXPECT_EQ(loop_.ProcessPending(), 1);  // already posted when Stop returned
    ASSERT_EQ(heard_.size(), 1u);
    EXPECT_EQ(heard_[0].value, 5u);
}

TEST_F(SoundPlayerTest, AnUnreadableFilePlaysNothingAndStillNotifies) {
    velto::test::WriteFileBytes(dir_ / "bad.wav", "RIFF0000AVI junk");
    player_.Play(dir_ / "bad.wav", first_.window, 9);
    ASSERT_TRUE(WaitForHeard(1));
    EXPECT_EQ(heard_[0].value, 9u);
    EXPECT_TRUE(quiet_.Contains("is not a WAVE file"));
    // A window of 0 hears nothing, and the player goes on.
    player_.Play(Sound("a.wav", 100), 0, 3);
    player_.Play(Sound("b.wav", 100), second_.window, 4);
    ASSERT_TRUE(WaitForHeard(2));
    EXPECT_EQ(heard_.size(), 2u);
    EXPECT_EQ(heard_[1].value, 4u);
}

// A later start plays a copy of the rest: its samples are the file's from that point, it
// lasts the rest of the sound, and it is gone once the output has it.
TEST_F(SoundPlayerTest, ALaterStartPlaysTheRestOfTheFileFromACopy) {
    std::vector<int16_t> samples(16000 * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(i % 30000);
    }
    velto::test::WriteFileBytes(dir_ / "m.wav", test::MakeWav(16000, 1, samples));
    const auto scratch = dir_ / "scratch";
    std::filesystem::create_directories(scratch);
    player_.SetScratchFolder(scratch);
    std::string copy;
    output_->SetBeforePlay(
        [&](const std::filesystem::path& file) { copy = velto::test::ReadFileBytes(file); });
    const Millis start = clock_.Now();
    player_.Play(dir_ / "m.wav", first_.window, 11, 1250);
    ASSERT_TRUE(WaitForHeard(1));
    EXPECT_EQ(heard_[0].at - start, Millis(750));
    // 1.25 s at 16,000 samples a second: sample 20,000 on.
    const std::vector<int16_t> rest = test::SamplesOf(copy);
    ASSERT_EQ(rest.size(), 12000u);
    EXPECT_EQ(rest.front(), 20000);
    EXPECT_EQ(rest.back(), static_cast<int16_t>(31999 % 30000));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch), {}), 0);
    // From beyond the end: nothing left to hear, reported at once.
    player_.Play(dir_ / "m.wav", first_.window, 12, 9000);
    ASSERT_TRUE(WaitForHeard(2));
    EXPECT_EQ(heard_[1].at, heard_[0].at);
    // The whole file, from 0, plays the file itself.
    player_.Play(dir_ / "m.wav", first_.window, 13);
    ASSERT_TRUE(WaitForHeard(3));
    EXPECT_EQ(output_->Segments().back().file, dir_ / "m.wav");
}

TEST(NullSoundOutput, KeepsTimeLoopsAndReportsTheEnd) {
    velto::test::TempDir dir;
    platform::VirtualClock clock;
    auto output = platform::CreateNullSoundOutput(clock);
    velto::test::WriteFileBytes(dir / "a.wav", test::MakeWav(8000, 1, std::vector<int16_t>(8000)));
    std::mutex mutex;
    platform::ClockCondition done(clock);
    int finished = 0;
    ASSERT_TRUE(output->Play(dir / "a.wav", false, [&] {
        std::lock_guard guard(mutex);
        ++finished;
        done.NotifyAll();
    }));
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(done.WaitFor(lock, Millis(5000), [&] { return finished == 1; }));
    }
    EXPECT_EQ(clock.Now(), Millis(1000));
    EXPECT_FALSE(output->IsPlaying());
    // A looping sound goes on until stopped, and a stop is no completion.
    ASSERT_TRUE(output->Play(dir / "a.wav", true, [&] { ++finished; }));
    clock.SleepFor(Millis(3500));
    EXPECT_TRUE(output->IsPlaying());
    output->Stop();
    EXPECT_FALSE(output->IsPlaying());
    platform::TraceCapture quiet;
    EXPECT_FALSE(output->Play(dir / "missing.wav", false));
    std::lock_guard guard(mutex);
    EXPECT_EQ(finished, 1);
}

}  // namespace
}  // namespace velto::audio
