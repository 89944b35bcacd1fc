#include <gtest/gtest.h>

#include <atomic>

#include "SimFixture.h"
#include "callapi/AutomationError.h"
#include "platform/InterfaceTable.h"
#include "platform/Workers.h"

namespace velto::skype::sim::test {
namespace {

using platform::Millis;

// A sink that wakes the scripting thread through the clock.
class SignallingSink : public RecordingSink {
  public:
    explicit SignallingSink(platform::Clock& clock) : changed_(clock) {}
    void OnEvent(const Event& event) override {
        RecordingSink::OnEvent(event);
        std::lock_guard guard(mutex_);
        ++count_;
        changed_.NotifyAll();
    }
    bool WaitForCount(size_t n) {
        std::unique_lock lock(mutex_);
        return changed_.WaitFor(lock, Millis(60'000), [&] { return count_ >= n; });
    }

  private:
    std::mutex mutex_;
    platform::ClockCondition changed_;
    size_t count_ = 0;
};

TEST(SimThreads, EventsRunOnTheCreatorsLoopAndObjectsStayOnTheirThread) {
    platform::VirtualClock clock;
    auto world = SimWorld::Create(clock);
    world->SignIn();
    platform::InterfaceTable table;
    SignallingSink sink(clock);
    std::atomic<platform::MessageLoop*> loopPtr{nullptr};
    std::atomic<platform::Cookie> skypeCookie{0}, callCookie{0};
    std::thread::id mainThread;
    std::mutex handshake;
    platform::ClockCondition ready(clock);
    platform::Workers workers(clock);
    // Ends the loop however the test ends, so the workers can be joined.
    struct QuitOnExit {
        std::atomic<platform::MessageLoop*>& loop;
        ~QuitOnExit() {
            if (auto* l = loop.load()) {
                l->Quit();
            }
        }
    } quitOnExit{loopPtr};

    workers.Start("sim-main", [&] {
        platform::MessageLoop loop(clock);
        mainThread = std::this_thread::get_id();
        auto skype = world->CreateSkype(loop);
        skype->Advise(sink);
        skype->Attach(kAttachProtocol, false);
        {
            std::lock_guard guard(handshake);
            skypeCookie = skype->RegisterIn(table);
            loopPtr = &loop;
        }
        ready.NotifyAll();
        loop.Run();
        skype->Unadvise(sink);
    });
    {
        std::unique_lock lock(handshake);
        ASSERT_TRUE(ready.WaitFor(lock, Millis(60'000), [&] { return loopPtr.load() != nullptr; }));
    }
    ASSERT_TRUE(sink.WaitForCount(1));  // granted

    int32_t id = world->IncomingCall("alice");
    ASSERT_TRUE(sink.WaitForCount(2));
    auto events = sink.Events();
    for (auto thread : sink.Threads()) {
        EXPECT_EQ(thread, mainThread);
        EXPECT_NE(thread, std::this_thread::get_id());
    }
    ASSERT_EQ(events.back().id, EventId::CallStatus);

    // The call object of the event belongs to the loop's thread: used here it fails and the
    // world notes it.
    auto foreign = events.back().Object<Call>(0);
    try {
        foreign->Status();
        FAIL() << "a foreign reference must not work";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.code(), kWrongThread);
    }
    EXPECT_EQ(world->ThreadViolations().size(), 1u);

    // Through a cookie registered on the owning thread it works here.
    loopPtr.load()->Post([&] {
        callCookie = sink.LastCall()->RegisterIn(table);
        ready.NotifyAll();
    });
    {
        std::unique_lock lock(handshake);
        ASSERT_TRUE(ready.WaitFor(lock, Millis(60'000), [&] { return callCookie.load() != 0; }));
    }
    auto call = table.Get<Call>(callCookie);
    ASSERT_TRUE(call);
    EXPECT_EQ(call->Id(), id);
    call->Answer();
    EXPECT_EQ(call->Status(), CallStatus::InProgress);
    auto skype = table.Get<Skype>(skypeCookie);
    ASSERT_TRUE(skype);
    EXPECT_EQ(skype->AttachmentStatus(), AttachmentStatus::Success);
    EXPECT_EQ(world->ThreadViolations().size(), 1u);
    ASSERT_TRUE(sink.WaitForCount(3));  // the answer's status event, again on the loop

    loopPtr.exchange(nullptr)->Quit();
    workers.JoinAll();
    EXPECT_EQ(sink.Threads().back(), mainThread);
}

}  // namespace
}  // namespace velto::skype::sim::test
