#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "app/Application.h"
#include "backends/sim/SimWorld.h"
#include "core/Messages.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::skype::test {

// The whole program on a virtual clock with the simulated Skype client, in a sandbox.
// Calls get a recording stand-in for the call handler; main-window messages are counted.
class SkypeTest : public ::testing::Test {
  protected:
    SkypeTest() : world_(sim::SimWorld::Create(clock_)) {
        velto::test::WriteFileBytes(dir_ / "machine.reg",
                                    "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                                    "\"InstallDir\"=\"" +
                                        (dir_ / "install").string() + "\"\n");
        // Not the first start and a stored language: no first-run report, no question.
        velto::test::WriteFileBytes(dir_ / "home/.config/Velto/user.reg",
                                    "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                                    "\"DefaultLanguage\"=dword:00000003\n"
                                    "\"Executed\"=dword:ffffffff\n");
        world_->SetCurrentUser("me.here", "Me Here", "Me");
        trace_.set_echo(false);
    }
    ~SkypeTest() override {
        app_.reset();
        EXPECT_TRUE(world_->ThreadViolations().empty());
    }

    app::ApplicationOptions Options() {
        return {
            .clock = clock_,
            .folders = platform::KnownFolders({{"HOME", (dir_ / "home").string()}}),
            .machineHive = dir_ / "machine.reg",
            .instanceFolder = dir_ / "run",
            .skypeFactory = factory_ != nullptr ? factory_ : world_.get(),
            // Nothing listens there: requests fail at once, on this machine only.
            .serverLink = server::LinkSettings{.host = "127.0.0.1", .port = 1},
            .urlOpener = std::make_unique<platform::RecordingUrlOpener>(),
            .startCallHandler =
                [this](platform::Cookie cookie) {
                    std::lock_guard guard(mutex_);
                    handlerCookies_.push_back(cookie);
                },
        };
    }

    void StartApp() {
        app_ = std::make_unique<app::Application>(Options());
        app_->boxes().set_quiet(true);
        app_->settingFile().SetMissedCallSaver([this] { ++saves_; });
        for (uint32_t message : {core::WM_UPDATELIST, core::WM_SKYPE_LOST, core::WM_REFRESH_TEXTS,
                                 core::WM_CONTACTS_STABLE}) {
            app_->mainWindow().SetHandler(
                message, [this, message](platform::WParam wParam, platform::LParam lParam) {
                    // The contact-status gathering sends its own
                    // WM_UPDATELIST; the stabiliser's carries 1, 1.
                    if (message == core::WM_UPDATELIST && (wParam != 1 || lParam != 1)) {
                        return platform::LResult{0};
                    }
                    std::lock_guard guard(mutex_);
                    received_.push_back({message, clock_.Now()});
                    return platform::LResult{0};
                });
        }
        ASSERT_TRUE(app_->Start());
    }

    bool RunUntil(const std::function<bool()>& pred, int ms = 60000) {
        return app_->loop().RunUntil(pred, platform::Millis(ms));
    }
    void RunFor(int ms) {
        RunUntil([] { return false; }, ms);
    }

    int Received(uint32_t message) {
        std::lock_guard guard(mutex_);
        int count = 0;
        for (const auto& r : received_) {
            count += r.message == message ? 1 : 0;
        }
        return count;
    }
    platform::Millis ReceivedAt(uint32_t message) {
        std::lock_guard guard(mutex_);
        for (const auto& r : received_) {
            if (r.message == message) {
                return r.at;
            }
        }
        return platform::Millis(-1);
    }
    std::vector<platform::Cookie> HandlerCookies() {
        std::lock_guard guard(mutex_);
        return handlerCookies_;
    }
    // Signs in, starts the program and waits until the contact list was shown.
    void StartAttached() {
        world_->SignIn();
        StartApp();
        ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    }

    struct Message {
        uint32_t message;
        platform::Millis at;
    };

    velto::test::TempDir dir_;
    platform::VirtualClock clock_;
    platform::TraceCapture trace_;
    std::shared_ptr<sim::SimWorld> world_;
    // The program's backend when not the simulator itself.
    SkypeFactory* factory_ = nullptr;
    std::unique_ptr<app::Application> app_;
    std::atomic<int> saves_{0};
    std::mutex mutex_;
    std::vector<Message> received_;
    std::vector<platform::Cookie> handlerCookies_;
};

}  // namespace velto::skype::test
