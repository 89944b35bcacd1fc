#include "calls/LocalRinger.h"

#include <gtest/gtest.h>

#include "platform/SoundOutput.h"
#include "platform/VirtualClock.h"

namespace velto::calls {
namespace {

// Two calls ring at once; a peer's "SP" silences the ring, yet a third call that starts
// ringing afterwards is heard, and the last call to stop leaves the output quiet.
TEST(LocalRinger, SilencedRingComesBackForTheNextCallOnly) {
    platform::VirtualClock clock;
    auto output = platform::CreateNullSoundOutput(clock);
    LocalRinger ringer(*output);
    const std::filesystem::path tone = VELTO_BINARY_DIR "/share/velto/Ringing.wav";

    ringer.Start(tone);
    ringer.Start(tone);
    EXPECT_TRUE(output->IsPlaying());
    ringer.Silence();
    EXPECT_FALSE(output->IsPlaying());
    EXPECT_EQ(ringer.ringing(), 2);
    ringer.Stop();
    EXPECT_FALSE(output->IsPlaying());

    ringer.Start(tone);
    EXPECT_TRUE(output->IsPlaying());
    ringer.Stop();
    EXPECT_TRUE(output->IsPlaying());  // one call still rings
    ringer.Stop();
    EXPECT_FALSE(output->IsPlaying());
    EXPECT_EQ(ringer.ringing(), 0);

    // Nothing rings: silencing changes nothing for the next call.
    ringer.Silence();
    ringer.Start(tone);
    EXPECT_TRUE(output->IsPlaying());
    ringer.Stop();
    EXPECT_FALSE(output->IsPlaying());
}

}  // namespace
}  // namespace velto::calls
