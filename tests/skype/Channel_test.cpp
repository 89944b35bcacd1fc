#include "backends/sim/SimWav.h"
#include "skype/ApplicationChannel.h"
#include "skype/SkypeFixture.h"

namespace velto::skype::test {
namespace {

constexpr const char* kApp = "VELTo";

class ChannelTest : public SkypeTest {
  protected:
    void PlayRingTone() {
        const auto file = dir_ / "ring.wav";
        sim::WavWriter writer;
        ASSERT_TRUE(writer.Open(file, nullptr));
        std::vector<int16_t> samples(16000, 100);
        ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
        ASSERT_TRUE(writer.Finish());
        // A ringing call and a preview at the same time, each on its own voice.
        app_->localRinger().Start(file);
        ASSERT_TRUE(app_->ringOutput().IsPlaying());
        ASSERT_TRUE(app_->soundOutput().Play(file, true));
        ASSERT_TRUE(app_->soundOutput().IsPlaying());
        ASSERT_TRUE(app_->ringOutput().IsPlaying());
    }
    bool AnythingPlays() {
        return app_->soundOutput().IsPlaying() || app_->ringOutput().IsPlaying();
    }
    ApplicationChannel& channel() { return app_->skypeLink().channel(); }
};

TEST_F(ChannelTest, StopFromAPeerStopsTheRingToneButALongerMessageIsNotRead) {
    StartAttached();
    PlayRingTone();
    const std::string stream = world_->ConnectStream(kApp, "peer.one");
    ASSERT_FALSE(stream.empty());

    world_->PeerSends(kApp, stream, "SPX");
    RunFor(200);
    EXPECT_TRUE(app_->soundOutput().IsPlaying());
    EXPECT_TRUE(app_->ringOutput().IsPlaying());
    EXPECT_EQ(world_->PendingMessages(kApp, stream), 1);

    // A fresh stream carries the two letters alone.
    const std::string other = world_->ConnectStream(kApp, "peer.two");
    world_->PeerSends(kApp, other, "SP");
    ASSERT_TRUE(RunUntil([this] { return !AnythingPlays(); }, 1000));
    EXPECT_EQ(world_->PendingMessages(kApp, other), 0);
}

TEST_F(ChannelTest, RepliesWithoutAnEntryAreDroppedWithoutWaiting) {
    StartAttached();
    const std::string stream = world_->ConnectStream(kApp, "peer.one");
    world_->PeerSends(kApp, stream, "NA");
    const platform::Millis before = clock_.Now();
    ASSERT_TRUE(RunUntil([&] { return world_->PendingMessages(kApp, stream) == 0; }));
    EXPECT_EQ(clock_.Now(), before);  // the main thread did not wait
    EXPECT_FALSE(channel().Reply(stream).has_value());

    channel().ExpectReply(stream);
    EXPECT_EQ(channel().Reply(stream), 0);
    world_->PeerSends(kApp, stream, "RT");
    ASSERT_TRUE(RunUntil([&] { return channel().Reply(stream) != 0; }));
    EXPECT_EQ(channel().Reply(stream), ApplicationChannel::kPositiveReply);
    world_->PeerSends(kApp, stream, "NA");
    ASSERT_TRUE(RunUntil([&] { return channel().Reply(stream) == -1; }));
}

TEST_F(ChannelTest, TheStreamTableFollowsSkypesListAndEachGrantStartsEmpty) {
    StartAttached();
    const std::string one = world_->ConnectStream(kApp, "peer.one");
    channel().AwaitStream(one);
    const std::string two = world_->ConnectStream(kApp, "peer.two");
    RunFor(100);
    EXPECT_EQ(channel().StreamHandles(), (std::vector<std::string>{one, two}));
    EXPECT_EQ(channel().StreamListed(one), true);
    world_->PeerDisconnects(kApp, one);
    RunFor(100);
    EXPECT_EQ(channel().StreamHandles(), std::vector<std::string>{two});

    // Signing out and in again: the grant disconnects what was left open.
    world_->SignOut();
    RunFor(100);
    world_->SignIn();
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 2; }));
    EXPECT_TRUE(world_->StreamHandles(kApp).empty());
}

}  // namespace
}  // namespace velto::skype::test
