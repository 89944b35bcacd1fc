// A greeting recorded through PortAudio from a real sound server: the private PulseAudio's
// microphone says a 1 kHz tone, and the saved file carries that tone (found by its
// frequency), at 16 kHz mono. Real time: it runs alone, as the SIP tests do, and a hang
// fails within seconds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "PrivatePulse.h"
#include "WavTone.h"
#include "audio/GreetingRecorder.h"
#include "platform/SoundInput.h"
#include "platform/Trace.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto {
namespace {

using namespace std::chrono_literals;

TEST(MicrophoneGreeting, TheRecordedFileCarriesTheToneTheMicrophoneHeard) {
    if (!test::PrivatePulse::Available()) {
        GTEST_SKIP() << "PulseAudio is not installed (scripts/setup installs it)";
    }
    test::RealTimeLimit limit(30s, "MicrophoneGreeting");
    test::TempDir dir;
    platform::TraceCapture trace;
    trace.set_echo(false);
    test::PrivatePulse pulse(dir / "pulse");
    ASSERT_TRUE(pulse.Start());
    setenv("PULSE_SERVER", pulse.Server().c_str(), 1);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 6);

    platform::RealClock clock;
    auto input = platform::CreatePortAudioSoundInput();
    ASSERT_TRUE(input->HasDevice());
    audio::GreetingRecorder recorder(clock, *input);
    const auto started = std::chrono::steady_clock::now();
    const auto since = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
    };
    // The microphone's source gives nothing until something plays into it: the take's first
    // block is the tone's start.
    std::atomic<long long> firstBlock{-1};
    ASSERT_EQ(recorder.Start([&] {
        long long none = -1;
        firstBlock.compare_exchange_strong(none, since().count());
    }),
              platform::InputStart::Started)
        << trace.Text();
    pulse.Say(dir / "tone.wav");
    // Three seconds of the tone, polled; at most ten of waiting for it.
    while (since() < 10s &&
           (firstBlock < 0 || since() < std::chrono::milliseconds(firstBlock + 3000))) {
        std::this_thread::sleep_for(20ms);
    }
    recorder.Stop();
    const auto took = since();
    ASSERT_EQ(recorder.Save(dir / "AnswerMachine.wav"), "");
    unsetenv("PULSE_SERVER");

    const auto pcm = test::ReadPcm(dir / "AnswerMachine.wav");
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 16000);
    // The samples span the time the source gave sound, never more than the take's time.
    EXPECT_GE(pcm->Seconds(), 2.5) << trace.Text();
    EXPECT_LE(pcm->Seconds(), std::chrono::duration<double>(took).count() + 0.2);
    const double tone = test::SecondsOf(*pcm, 1000);
    EXPECT_GE(tone, 2.5) << trace.Text();
    EXPECT_EQ(test::SecondsOf(*pcm, 700), 0.0);
    std::printf(
        "figure: microphone take %.2f s, of which 1 kHz %.1f s; first block after %lld ms\n",
        pcm->Seconds(), tone, firstBlock.load());
}

}  // namespace
}  // namespace velto
