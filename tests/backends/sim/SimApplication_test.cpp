#include <gtest/gtest.h>

#include "SimFixture.h"
#include "callapi/AutomationError.h"

namespace velto::skype::sim::test {
namespace {

class SimApplication : public SimFixture {
  protected:
    void SetUp() override {
        SignInAndAttach();
        auto command = skype_->CreateCommand();
        command->SetCommand("Create Application VELTo");
        skype_->SendCommand(command);
        EXPECT_EQ(command->Reply(), "CREATE APPLICATION VELTo");
    }
};

TEST_F(SimApplication, CommandsAreRecordedWithReplies) {
    auto command = skype_->CreateCommand();
    command->SetCommand("FROB it");
    skype_->SendCommand(command);
    auto commands = world_->Commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].text, "Create Application VELTo");
    EXPECT_EQ(commands[1].reply.rfind("ERROR", 0), 0u);
    EXPECT_TRUE(world_->HasApplication("VELTo"));
    EXPECT_FALSE(world_->HasApplication("velto"));
    EXPECT_EQ(world_->ConnectStream("Other", "bob"), "");
}

TEST_F(SimApplication, StreamsListReadAndDisconnect) {
    std::string a = world_->ConnectStream("VELTo", "alice");
    std::string b = world_->ConnectStream("VELTo", "bob");
    loop_.ProcessPending();
    auto lists = sink_.Of(EventId::ApplicationStreams);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[1].Object<Application>(0)->Name(), "VELTo");
    auto streams = lists[1].Object<ApplicationStreamCollection>(1);
    ASSERT_EQ(streams->Count(), 2);
    EXPECT_EQ(streams->Item(1)->Handle(), a);
    EXPECT_EQ(streams->Item(2)->PartnerHandle(), "bob");
    EXPECT_THROW(streams->Item(3), AutomationError);

    world_->PeerSends("VELTo", b, "SP");
    world_->PeerSends("VELTo", a, "ABC");
    loop_.ProcessPending();
    auto received = sink_.Of(EventId::ApplicationReceiving);
    ASSERT_EQ(received.size(), 2u);
    auto withData = received[1].Object<ApplicationStreamCollection>(1);
    ASSERT_EQ(withData->Count(), 2);
    auto fromBob = received[0].Object<ApplicationStreamCollection>(1)->Item(1);
    EXPECT_EQ(fromBob->DataLength(), 2);
    EXPECT_EQ(fromBob->Read(), "SP");
    EXPECT_EQ(fromBob->DataLength(), 0);
    EXPECT_EQ(fromBob->Read(), "");
    EXPECT_EQ(world_->PendingMessages("VELTo", a), 1);  // three characters, left unread

    // The program's clean start: disconnect item 1 until none are left.
    auto app = skype_->Application("VELTo");
    int rounds = 0;
    while (app->Streams()->Count() > 0 && rounds++ < 10) {
        app->Streams()->Item(1)->Disconnect();
    }
    EXPECT_EQ(rounds, 2);
    EXPECT_TRUE(world_->StreamHandles("VELTo").empty());
    loop_.ProcessPending();
    EXPECT_EQ(sink_.Of(EventId::ApplicationStreams)
                  .back()
                  .Object<ApplicationStreamCollection>(1)
                  ->Count(),
              0);
}

}  // namespace
}  // namespace velto::skype::sim::test
