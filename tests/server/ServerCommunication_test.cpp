#include "server/ServerCommunication.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "server/ServerCommunicationInstance.h"
#include "support/FrameTestServer.h"

namespace velto::server {
namespace {

using platform::Millis;
using Outcome = ServerRequest::Outcome;
using Behaviour = test::FrameTestServer::Behaviour;
using Reply = test::FrameTestServer::Reply;

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class ServerLinkTest : public ::testing::Test {
  protected:
    explicit ServerLinkTest(bool serverUp = true) : server_(serverUp) {}
    ~ServerLinkTest() override {
        link_.reset();
        workers_.JoinAll();
    }

    ServerCommunication& Link(LinkSettings settings = {}) {
        settings.host = "127.0.0.1";
        settings.port = server_.port();
        link_ = std::make_unique<ServerCommunication>(clock_, workers_, settings);
        return *link_;
    }

    std::shared_ptr<ServerRequest> Push(const std::string& payload) {
        auto request = ServerRequest::Create(clock_, Bytes(payload));
        EXPECT_TRUE(link_->Push(request));
        return request;
    }

    std::string AnswerOf(const std::shared_ptr<ServerRequest>& request) {
        EXPECT_EQ(request->WaitFor(Millis(10000)), Outcome::Answered);
        const auto answer = request->Answer();
        return {answer.begin(), answer.end()};
    }

    platform::TraceCapture trace_;
    platform::VirtualClock clock_;
    platform::Workers workers_{clock_};
    test::FrameTestServer server_;
    std::unique_ptr<ServerCommunication> link_;
};

class ServerDownTest : public ServerLinkTest {
  protected:
    ServerDownTest() : ServerLinkTest(false) {}
};

TEST_F(ServerLinkTest, IdleLinkConnectsAndSendsAtOnce) {
    Link();
    const Millis start = clock_.Now();
    auto request = Push("\x03me");
    EXPECT_EQ(AnswerOf(request), "\x03me");
    EXPECT_EQ(clock_.Now(), start);
    EXPECT_EQ(server_.Connections(), 1);
    EXPECT_TRUE(trace_.Contains("Server communication threaded\n"));
    EXPECT_TRUE(trace_.Contains("Done\n"));
}

TEST_F(ServerLinkTest, BackToBackRequestsTravelInOrderOverOneConnection) {
    Link();
    auto first = Push("first");
    auto second = Push("second");
    EXPECT_EQ(AnswerOf(second), "second");
    EXPECT_EQ(AnswerOf(first), "first");
    EXPECT_EQ(server_.Requests(), (std::vector{Bytes("first"), Bytes("second")}));
    EXPECT_EQ(server_.Connections(), 1);
}

TEST_F(ServerDownTest, UnreachableServerRetriesThenAbandonedRequestIsFreedUnsent) {
    auto& link = Link();
    auto request = Push("lost");
    std::weak_ptr<ServerRequest> watch = request;
    const Millis start = clock_.Now();
    EXPECT_EQ(request->WaitFor(Millis(10000)), Outcome::TimedOut);
    EXPECT_EQ(clock_.Now() - start, Millis(10000));
    EXPECT_TRUE(request->abandoned());
    // Tries after pauses of 0.1, 0.2, 0.4 ... 3.2 s; the next is due at 12.7 s.
    EXPECT_EQ(link.stats().connectFailures, 7);
    request.reset();

    clock_.SleepFor(Millis(3000));  // the pause under way ends before the request is dropped
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(link.stats().droppedUnsent, 1);
    const int failures = link.stats().connectFailures;
    clock_.SleepFor(Millis(1000));
    EXPECT_EQ(link.stats().connectFailures, failures);  // nothing left to connect for

    server_.Listen();
    EXPECT_EQ(AnswerOf(Push("next")), "next");
    EXPECT_EQ(server_.Requests(), std::vector<std::vector<uint8_t>>{Bytes("next")});
}

TEST_F(ServerDownTest, QueuedRequestGoesOutOnceTheServerComesUp) {
    auto& link = Link();
    auto request = Push("patient");
    clock_.SleepFor(Millis(1000));
    EXPECT_FALSE(request->completed());
    EXPECT_EQ(link.Count(), 1u);
    server_.Listen();
    EXPECT_EQ(AnswerOf(request), "patient");
    EXPECT_EQ(link.stats().connectFailures, 4);
    EXPECT_EQ(link.stats().connects, 1);
}

// While the server is down the link does not hammer it: the pause between tries doubles up
// to 30 s, the waiting request stays queued, and a connection that works starts the pauses
// over.
TEST_F(ServerDownTest, ReconnectsBackOffWhileTheServerIsDownAndStartOverOnceItWorks) {
    auto& link = Link();
    auto request = Push("patient");
    clock_.SleepFor(Millis(60000));
    // Tries at 0, 0.1, 0.3, 0.7, 1.5, 3.1, 6.3, 12.7, 25.5 and 51.1 s.
    EXPECT_EQ(link.stats().connectFailures, 10);
    clock_.SleepFor(Millis(60000));
    // The pause stops growing at 30 s: 81.1 and 111.1 s.
    EXPECT_EQ(link.stats().connectFailures, 12);
    EXPECT_FALSE(request->completed());
    EXPECT_EQ(link.Count(), 1u);

    server_.Listen();
    const Millis up = clock_.Now();
    EXPECT_EQ(request->WaitFor(Millis(30000)), Outcome::Answered);
    EXPECT_EQ(clock_.Now() - up, Millis(21100));  // the try due at 141.1 s
    EXPECT_EQ(link.stats().connects, 1);

    server_.GoDown();
    clock_.SleepFor(Millis(11000));  // the idle connection closes
    auto later = Push("later");
    clock_.SleepFor(Millis(350));
    EXPECT_EQ(link.stats().connectFailures, 15);  // at 0, 0.1 and 0.3 s again
    EXPECT_FALSE(later->completed());
}

TEST_F(ServerLinkTest, ServerClosingAfterEachAnswerCostsARequeueAndReconnect) {
    server_.SetDefault({.behaviour = Behaviour::AnswerThenClose});
    auto& link = Link();
    for (const char* text : {"one", "two", "three"}) {
        EXPECT_EQ(AnswerOf(Push(text)), text);
    }
    EXPECT_EQ(server_.Requests(), (std::vector{Bytes("one"), Bytes("two"), Bytes("three")}));
    EXPECT_EQ(server_.Connections(), 3);
    EXPECT_EQ(link.stats().failedExchanges, 2);
    EXPECT_EQ(link.stats().exchanges, 3);
}

TEST_F(ServerLinkTest, ConnectionClosesAfterTenIdleSecondsAndReopensOnDemand) {
    auto& link = Link();
    EXPECT_EQ(AnswerOf(Push("a")), "a");
    clock_.SleepFor(Millis(9000));
    EXPECT_EQ(AnswerOf(Push("b")), "b");
    EXPECT_EQ(link.stats().idleCloses, 0);
    EXPECT_EQ(server_.Connections(), 1);

    clock_.SleepFor(Millis(10001));
    EXPECT_EQ(link.stats().idleCloses, 1);
    EXPECT_EQ(AnswerOf(Push("c")), "c");
    EXPECT_EQ(server_.Connections(), 2);
    EXPECT_EQ(link.stats().failedExchanges, 0);
}

TEST_F(ServerLinkTest, AnswerSizesFromEmptyToTheWholeBuffer) {
    const std::vector<uint8_t> full(ServerRequest::kBufferSize, 0xA5);
    server_.Script({.payload = full});
    server_.Script({.payload = std::vector<uint8_t>{}});
    Link();
    auto big = Push("big");
    ASSERT_EQ(big->WaitFor(Millis(10000)), Outcome::Answered);
    EXPECT_EQ(big->length(), 8192);
    EXPECT_TRUE(std::equal(full.begin(), full.end(), big->Answer().begin()));
    auto empty = Push("empty");
    ASSERT_EQ(empty->WaitFor(Millis(10000)), Outcome::Answered);
    EXPECT_EQ(empty->length(), 0);
}

TEST_F(ServerLinkTest, OversizedAnswerFailsTheRequestOnceAndDropsTheConnection) {
    server_.Script({.behaviour = Behaviour::OversizedLength, .announcedLength = 8193});
    auto& link = Link();
    auto request = Push("greedy");
    EXPECT_EQ(request->WaitFor(Millis(10000)), Outcome::Failed);
    EXPECT_EQ(link.stats().oversized, 1);
    EXPECT_EQ(AnswerOf(Push("after")), "after");
    EXPECT_EQ(server_.Requests(), (std::vector{Bytes("greedy"), Bytes("after")}));
    EXPECT_EQ(server_.Connections(), 2);
}

TEST_F(ServerLinkTest, ResetMidAnswerResendsTheIntactRequest) {
    server_.Script(
        {.behaviour = Behaviour::ResetMidFrame, .payload = std::vector<uint8_t>(200, 'X')});
    auto& link = Link();
    auto request = Push("keep me whole");
    EXPECT_EQ(AnswerOf(request), "keep me whole");
    EXPECT_EQ(server_.Requests(), (std::vector{Bytes("keep me whole"), Bytes("keep me whole")}));
    EXPECT_EQ(link.stats().failedExchanges, 1);
}

TEST_F(ServerLinkTest, RequestAbandonedDuringTheExchangeIsFreedByTheLink) {
    server_.Script({.delay = std::chrono::milliseconds(300)});
    auto& link = Link({.slowAnswerGrace = std::chrono::milliseconds(20)});
    auto request = Push("slow");
    std::weak_ptr<ServerRequest> watch = request;
    EXPECT_EQ(request->WaitFor(Millis(10000)), Outcome::TimedOut);
    request.reset();
    // Program time runs while the link waits for the slow server, so wait without limit.
    EXPECT_EQ(Push("quick")->Wait(), Outcome::Answered);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(link.stats().exchanges, 2);
    EXPECT_EQ(link.stats().droppedUnsent, 0);
}

TEST_F(ServerLinkTest, StoppingCutsASilentServerAndFailsWhatIsQueued) {
    server_.Script({.behaviour = Behaviour::NeverAnswer});
    auto& link = Link({.slowAnswerGrace = std::chrono::milliseconds(20)});
    auto silent = Push("silent");
    auto queued = Push("queued");
    EXPECT_EQ(silent->WaitFor(Millis(10000)), Outcome::TimedOut);
    link.Stop();
    EXPECT_EQ(queued->Wait(), Outcome::Failed);
    EXPECT_FALSE(link.Push(ServerRequest::Create(clock_, Bytes("late"))));
}

TEST_F(ServerLinkTest, RefusesEmptyAndOversizedPayloads) {
    auto& link = Link();
    EXPECT_EQ(ServerRequest::Create(clock_, {}), nullptr);
    EXPECT_EQ(ServerRequest::Create(clock_, std::vector<uint8_t>(1025, 1)), nullptr);
    auto largest = ServerRequest::Create(clock_, std::vector<uint8_t>(1024, 1));
    ASSERT_NE(largest, nullptr);
    largest->set_length(1025);
    EXPECT_FALSE(link.Push(largest));
    EXPECT_FALSE(link.Push(nullptr));
    largest->set_length(1024);
    EXPECT_TRUE(link.Push(largest));
    EXPECT_EQ(largest->WaitFor(Millis(10000)), Outcome::Answered);
    EXPECT_EQ(largest->length(), 1024);
}

TEST_F(ServerLinkTest, ExchangeHelperCopiesTheAnswer) {
    server_.Script({.payload = Bytes("pong")});
    auto& link = Link();
    const auto reply = link.Exchange(Bytes("ping"), Millis(10000));
    EXPECT_EQ(reply.outcome, Outcome::Answered);
    EXPECT_EQ(reply.answer, Bytes("pong"));
    EXPECT_EQ(link.Exchange(std::vector<uint8_t>(2000, 1)).outcome, Outcome::Failed);
}

TEST(ServerCommunicationInstanceTest, TwoThreadsAskingAtOnceGetTheSameLink) {
    platform::TraceCapture trace;
    platform::VirtualClock clock;
    platform::Workers workers(clock);
    {
        ServerCommunicationInstance holder(clock, workers, {.host = "127.0.0.1", .port = 9});
        EXPECT_EQ(holder.IfCreated(), nullptr);
        ServerCommunication* seen[2] = {};
        std::thread a([&] { seen[0] = &holder.Instance(); });
        std::thread b([&] { seen[1] = &holder.Instance(); });
        a.join();
        b.join();
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_EQ(holder.IfCreated(), seen[0]);
    }
    workers.JoinAll();
    EXPECT_EQ(trace.Count("Server communication threaded\n"), 1);
}

}  // namespace
}  // namespace velto::server
