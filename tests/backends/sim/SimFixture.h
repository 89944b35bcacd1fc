#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "backends/sim/SimWav.h"
#include "backends/sim/SimWorld.h"
#include "callapi/Skype.h"
#include "platform/MessageLoop.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::skype::sim::test {

// Writes a 16-bit mono 16000 Hz WAV of `ms` milliseconds whose samples count up from
// `first` (so their source can be recognised).
inline void WriteTone(const std::filesystem::path& path, int ms, int16_t first = 1) {
    WavWriter writer;
    ASSERT_TRUE(writer.Open(path, nullptr));
    std::vector<int16_t> samples(static_cast<size_t>(ms) * 16);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(first + static_cast<int16_t>(i % 1000));
    }
    ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
    ASSERT_TRUE(writer.Finish());
}

// Keeps every event it receives, with the thread it arrived on.
class RecordingSink : public EventSink {
  public:
    explicit RecordingSink(int32_t id = 1) : id_(id) {}
    int32_t SinkId() const override { return id_; }
    void OnEvent(const Event& event) override {
        std::lock_guard guard(mutex_);
        events_.push_back(event);
        threads_.push_back(std::this_thread::get_id());
    }
    std::vector<Event> Events() const {
        std::lock_guard guard(mutex_);
        return events_;
    }
    std::vector<std::thread::id> Threads() const {
        std::lock_guard guard(mutex_);
        return threads_;
    }
    std::vector<int32_t> Ints(EventId id, size_t arg = 0) const {
        std::vector<int32_t> values;
        for (const auto& e : Events()) {
            if (e.id == id) {
                values.push_back(e.Int(arg));
            }
        }
        return values;
    }
    std::shared_ptr<Call> LastCall() const {
        auto events = Events();
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->id == EventId::CallStatus) {
                return it->Object<Call>(0);
            }
        }
        return nullptr;
    }
    std::vector<Event> Of(EventId id) const {
        std::vector<Event> found;
        for (const auto& e : Events()) {
            if (e.id == id) {
                found.push_back(e);
            }
        }
        return found;
    }

  private:
    int32_t id_;
    mutable std::mutex mutex_;
    std::vector<Event> events_;
    std::vector<std::thread::id> threads_;
};

// A world with a program's Skype object on the test thread; time moves only by Advance.
class SimFixture : public ::testing::Test {
  protected:
    SimFixture() : clock_(false), loop_(clock_), world_(SimWorld::Create(clock_)) {
        world_->SetCurrentUser("me.here", "Me Here", "Me");
        skype_ = world_->CreateSkype(loop_);
        skype_->Advise(sink_);
    }
    ~SimFixture() override {
        if (skype_) {
            skype_->Unadvise(sink_);
        }
    }

    void SignInAndAttach() {
        world_->SignIn();
        skype_->Attach(kAttachProtocol, false);
        loop_.ProcessPending();
        ASSERT_EQ(skype_->AttachmentStatus(), AttachmentStatus::Success);
    }
    // An answered incoming call from alice, as the program sees it.
    std::shared_ptr<Call> AnsweredCall(CallOptions options = {}) {
        callId_ = world_->IncomingCall("alice", std::move(options));
        loop_.ProcessPending();
        auto call = sink_.LastCall();
        call->Answer();
        return call;
    }
    void Advance(int ms) { clock_.Advance(platform::Millis(ms)); }

    platform::VirtualClock clock_;
    platform::MessageLoop loop_;
    std::shared_ptr<SimWorld> world_;
    RecordingSink sink_;
    std::shared_ptr<Skype> skype_;
    velto::test::TempDir dir_;
    int32_t callId_ = 0;
};

}  // namespace velto::skype::sim::test
